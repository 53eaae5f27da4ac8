#pragma once

#include <cstdint>
#include <deque>

namespace pumpsim {

// Where the plunger and the valve are over time: a rest state and the moves queued after it.
// Each move starts when the one before has ended; the plunger travels linearly, the valve
// reaches its new port at the end of its move. Times are seconds on the caller's clock.
class Motion {
public:
    Motion(int32_t position, int port) : restPosition_(position), restPort_(port) {}

    bool Busy(double now) const { return now < BusyUntil(); }
    double BusyUntil() const { return moves_.empty() ? 0.0 : moves_.back().end; }
    int32_t PositionAt(double now) const;
    int PortAt(double now) const;
    // Where the queued moves leave the plunger and the valve.
    int32_t FinalPosition() const { return moves_.empty() ? restPosition_ : moves_.back().toPosition; }
    int FinalPort() const { return moves_.empty() ? restPort_ : moves_.back().toPort; }

    // Queues a move of the given length that ends at the given position and port.
    void Append(double now, double seconds, int32_t toPosition, int toPort);
    // Ends every move at once, leaving plunger and valve where they are now.
    void Stop(double now);

private:
    struct Move {
        double start;
        double end;
        int32_t fromPosition;
        int32_t toPosition;
        int toPort;
    };
    void Settle(double now);

    int32_t restPosition_;
    int restPort_;
    std::deque<Move> moves_;
};

}  // namespace pumpsim
