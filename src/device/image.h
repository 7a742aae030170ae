#pragma once
// The key-string image the device keeps in flash: 1024 bytes, one 10-byte slot per
// key-table row (row i at offset 10*i), the last slot cut to 4 bytes. A slot holds
// the first 10 bytes of the row's output string, then 0x00 up to its end.
#include "keystrings/key_table.h"

namespace k7 {

inline constexpr int kImageSize = 1024;
inline constexpr int kSlotSize = 10;
inline constexpr int kBlockSize = 128;

// Byte `offset` (0..1023) of the image of `table`.
char ImageByte(const KeyTableArray& table, int offset);

}  // namespace k7
