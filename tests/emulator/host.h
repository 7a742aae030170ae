#pragma once
// A host for the emulator on virtual time: frames to send and a clock that jumps from
// one reply byte to the next.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "emulator/korven7_emulator.h"

namespace k7::test {

inline std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}
// "/", letter, length, payload, checksum.
inline std::string Frame(char letter, const std::string& payload) {
    std::string f = std::string("/") + letter + static_cast<char>(payload.size() + 4) + payload;
    unsigned sum = 0;
    for (char c : f) sum += static_cast<std::uint8_t>(c);
    return f + static_cast<char>(sum & 0xFF);
}
inline const std::string kErase = Frame('E', Bytes({0xAA, 0x55, 0xAA, 0x55, 0}));
inline const std::string kFlash = Frame('F', Bytes({0, 0}));
inline std::string Write(int address, const std::string& data) {
    return Frame('W', Bytes({address / 256, address % 256}) + data + Bytes({0}));
}
inline std::string Read(int row) { return Frame('R', Bytes({row, 0})); }
inline const std::string kVersion = "KORVEN7 V2.14\r\n";
inline const std::string kRow0 = "SCAN: 04 = {61}{00}{00}{00}{00}{00}{00}{00}{00}{00}";

using TimedBytes = std::vector<std::pair<std::int64_t, char>>;

// Sends bytes at `at`; every reply byte with the time it reached the host.
inline TimedBytes Timed(Korven7Emulator& device, const std::string& bytes, std::int64_t at) {
    device.receive(bytes, at);
    TimedBytes got;
    while (auto due = device.nextByteTime())
        for (char c : device.take(*due)) got.emplace_back(*due, c);
    return got;
}
inline std::string Text(const TimedBytes& timed) {
    std::string s;
    for (const auto& [t, c] : timed) s += c;
    return s;
}

struct Host {
    explicit Host(int baud = 9600) : device(baud) {}
    Korven7Emulator device;
    std::int64_t now = 0;
    // Sends, waits for the whole reply, then pauses 10 ms.
    std::string exchange(const std::string& bytes) {
        const TimedBytes got = Timed(device, bytes, now);
        if (!got.empty()) now = got.back().first;
        now += 10000;
        return Text(got);
    }
};

}  // namespace k7::test
