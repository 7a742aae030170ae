// Placeholder until the emulator is built.
#include "emulator/korven7_emulator.h"

namespace k7 {
Korven7Emulator::Korven7Emulator(int baud) : baud_(baud) {}
void Korven7Emulator::setBaud(int baud) { baud_ = baud; }
void Korven7Emulator::receive(const std::string&, std::int64_t) {}
std::string Korven7Emulator::take(std::int64_t) { return ""; }
std::optional<std::int64_t> Korven7Emulator::nextByteTime() const { return std::nullopt; }
std::array<std::uint8_t, 1024> Korven7Emulator::DefaultImage() { return {}; }
}  // namespace k7
