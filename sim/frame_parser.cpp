#include "frame_parser.h"

namespace pumpsim {

namespace {
constexpr char kLead = '\xFF';
constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr char kCr = '\r';
constexpr char kSlash = '/';
}  // namespace

unsigned char XorOf(std::string_view bytes) {
    unsigned char x = 0;
    for (char c : bytes) x ^= static_cast<unsigned char>(c);
    return x;
}

void FrameParser::Feed(std::string_view bytes, double now) {
    if (bytes.empty()) return;
    if (now - lastByte_ > kPartialFrameLife) state_ = State::Idle;
    lastByte_ = now;
    for (char b : bytes) Step(b);
}

std::optional<Frame> FrameParser::Next() {
    if (ready_.empty()) return std::nullopt;
    Frame f = std::move(ready_.front());
    ready_.pop_front();
    return f;
}

void FrameParser::Begin(char byte) {
    current_ = Frame{};
    current_.raw.push_back(byte);
    if (byte == kSlash) {
        current_.framing = Framing::DT;
        state_ = State::DtAddress;
    } else if (byte == kLead) {
        current_.framing = Framing::OEM;
        state_ = State::OemStart;
    } else {
        state_ = State::Idle;
    }
}

void FrameParser::Finish(bool checksumOk) {
    current_.checksumOk = checksumOk;
    ready_.push_back(std::move(current_));
    current_ = Frame{};
    state_ = State::Idle;
}

void FrameParser::Step(char byte) {
    if (state_ != State::Idle && current_.raw.size() >= kMaxFrame) state_ = State::Idle;
    const bool dt = state_ == State::DtAddress || state_ == State::DtBody;
    const bool restarts = byte == kLead ? state_ != State::OemChecksum : byte == kSlash && dt;
    if (state_ == State::Idle || restarts) {
        Begin(byte);
        return;
    }
    current_.raw.push_back(byte);
    switch (state_) {
        case State::DtAddress:
            if (byte == kCr) {
                state_ = State::Idle;  // no address: not a frame
            } else {
                current_.address = byte;
                state_ = State::DtBody;
            }
            break;
        case State::DtBody:
            if (byte == kCr) {
                Finish(true);
            } else {
                current_.command.push_back(byte);
            }
            break;
        case State::OemStart:
            if (byte == kStx) {
                state_ = State::OemAddress;
            } else {
                Begin(byte);
            }
            break;
        case State::OemAddress:
            current_.address = byte;
            state_ = State::OemSequence;
            break;
        case State::OemSequence:
            state_ = State::OemBody;
            break;
        case State::OemBody:
            if (byte == kEtx) {
                state_ = State::OemChecksum;
            } else {
                current_.command.push_back(byte);
            }
            break;
        case State::OemChecksum: {
            const std::string_view covered(current_.raw.data() + 1, current_.raw.size() - 2);
            Finish(XorOf(covered) == static_cast<unsigned char>(byte));
            break;
        }
        case State::Idle:
            break;
    }
}

}  // namespace pumpsim
