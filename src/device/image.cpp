// The list laid over the key table, and the image that follows from the table.
#include "device/image.h"

#include "keystrings/notation.h"
#include "platform/runtime_error.h"
#include "shell/form1.h"

namespace k7 {

char ImageByte(const KeyTableArray& table, int offset) {
    const std::string& output = table[std::size_t(offset / kSlotSize)].Output;
    const std::size_t pos = std::size_t(offset % kSlotSize);
    return pos < output.size() ? output[pos] : '\0';
}

void Form1::ApplyListToKeyTable() {
    for (int i = 0; i < List1.count(); ++i) {
        const std::string entry = List1.item(i);
        const std::size_t tab = entry.find('\t');
        if (tab == std::string::npos) throw RuntimeError(kInvalidArgument);
        const std::string bytes = NotationToBytes(entry.substr(tab + 1));
        const int row = FindKeyRow(KeyTable, entry.substr(0, tab));
        if (row >= 0) KeyTable[std::size_t(row)].Output = bytes;
    }
}

}  // namespace k7
