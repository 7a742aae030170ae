#pragma once
// The KORVEN7's command frames: "/", the command letter, the frame length, the
// payload and a checksum (the sum of every byte before it, modulo 256). Each frame is
// a byte string, one char per byte, written to the port with one output call.
#include <string>

namespace k7 {

// The version request is the bare command, with neither length nor checksum.
inline constexpr const char* kVersionRequest = "/V";

std::string commandFrame(char letter, const std::string& payload);

// Erase the flash page: 2F 45 09 AA 55 AA 55 00 7B.
std::string eraseFrame();
// Write 1..10 image bytes at an image address: "/W", n+7, address high, low, data, 00, sum.
std::string writeFrame(int address, const std::string& data);
// Commit the block written since the last flash: 2F 46 06 00 00 7B.
std::string flashFrame();
// Ask for the record of one key-table row: 2F 52 06 row 00 sum.
std::string readBackFrame(int row);

// A reply acknowledges a frame only when it begins with "ACK".
bool isAcknowledged(const std::string& reply);

}  // namespace k7
