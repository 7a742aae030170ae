#pragma once
// The key-string image the device keeps in flash: 1024 bytes, one 10-byte slot per
// key-table row (row i at offset 10*i), the last slot cut to 4 bytes. A slot holds the
// first 10 bytes of the row's output string, then 0x00 up to its end. A send writes it
// in frames that never cross a slot or a 128-byte block, and commits each block with a
// flash frame once its bytes are written.
#include <string>
#include <vector>

#include "keystrings/key_table.h"

namespace k7 {

inline constexpr int kImageSize = 1024;
inline constexpr int kSlotSize = 10;
inline constexpr int kBlockSize = 128;

// kImageSize bytes.
std::string flashImageOf(const KeyTable& table);

struct PlannedFrame {
    bool flash = false;   // a flash frame, else a write frame
    std::string frame;    // the bytes sent
    int end = 0;          // image offset just past the bytes written so far
    int block = 0;        // the 128-byte block it writes or commits
};

// Every frame of a send of `image`, in order.
std::vector<PlannedFrame> framePlan(const std::string& image);

}  // namespace k7
