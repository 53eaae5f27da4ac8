#include "line_faults.h"

#include "frame_parser.h"

namespace pumpsim {

std::string Distort(std::string reply, Framing framing, const LineFaults& faults) {
    // The data field starts after the status: position 4 in DT, 5 in OEM.
    const std::size_t data = framing == Framing::DT ? 3 : 4;
    if (faults.longerBy > 0 && reply.size() > data + 2) {
        std::string filler;
        for (int i = 0; i < faults.longerBy; ++i) filler += static_cast<char>('0' + i % 10);
        if (framing == Framing::OEM) {
            char& checksum = reply[reply.size() - 2];
            checksum = static_cast<char>(checksum ^ XorOf(filler));
        }
        reply.insert(data, filler);
    }
    const std::string noise(kNoise, sizeof kNoise - 1);
    if (faults.noise == LineFaults::Noise::Before) reply.insert(0, noise);
    if (faults.noise == LineFaults::Noise::Inside) reply.insert(data, noise);
    if (faults.cutTo >= 0 && reply.size() > static_cast<std::size_t>(faults.cutTo))
        reply.resize(faults.cutTo);
    return reply;
}

}  // namespace pumpsim
