// The emulator's frame parser: any bytes, in any pieces, never crash it, its replies
// stay bounded, and a well-formed version request after the garbage is still answered.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "emulator/korven7_emulator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    k7::Korven7Emulator device(57600);
    std::int64_t now = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t piece = 1 + data[pos] % 16;
        device.receive(std::string(reinterpret_cast<const char*>(data) + pos, std::min(piece, size - pos)), now);
        pos += piece;
        now += 1000;
        if (device.take(now).size() > 8192) std::abort();
    }
    // A pause longer than any frame may take, then a clean request.
    now += 1000000;
    device.take(now);
    device.receive("/V", now);
    std::string reply;
    for (int i = 0; i < 200 && reply.find("KORVEN7") == std::string::npos; ++i) {
        now += 1000;
        reply += device.take(now);
    }
    if (reply.find("KORVEN7") == std::string::npos) std::abort();
    return 0;
}
