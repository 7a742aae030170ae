#include "device/frames.h"

namespace k7 {

std::string commandFrame(char letter, const std::string& payload) {
    std::string frame = "/";
    frame += letter;
    frame += char(payload.size() + 4);
    frame += payload;
    unsigned sum = 0;
    for (unsigned char c : frame) sum += c;
    frame += char(sum & 0xFF);
    return frame;
}

std::string eraseFrame() { return commandFrame('E', std::string("\xAA\x55\xAA\x55\x00", 5)); }

std::string writeFrame(int address, const std::string& data) {
    std::string payload;
    payload += char((address >> 8) & 0xFF);
    payload += char(address & 0xFF);
    payload += data;
    payload += '\0';
    return commandFrame('W', payload);
}

std::string flashFrame() { return commandFrame('F', std::string(2, '\0')); }

std::string readBackFrame(int row) {
    std::string payload(1, char(row));
    payload += '\0';
    return commandFrame('R', payload);
}

bool isAcknowledged(const std::string& reply) { return reply.rfind("ACK", 0) == 0; }

}  // namespace k7
