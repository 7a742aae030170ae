#include "keystrings/key_string_list.h"

#include <algorithm>

#include "keystrings/notation.h"

namespace k7 {

KeyStringList::AddResult KeyStringList::add(const KeyString& entry) {
    if (entry.legend.empty()) return AddResult::NoKey;
    if (std::any_of(entries_.begin(), entries_.end(), [&](const KeyString& e) { return e.legend == entry.legend; }))
        return AddResult::AlreadyListed;
    entries_.push_back(entry);
    changed(size() - 1, true);
    return AddResult::Added;
}

void KeyStringList::remove(int index) {
    entries_.erase(entries_.begin() + index);
    changed(index, false);
}

void KeyStringList::clear() { replace({}); }

void KeyStringList::replace(std::vector<KeyString> entries) {
    entries_ = std::move(entries);
    changed(-1, false);
}

KeyTable KeyStringList::keyTable() const {
    KeyTable table = defaultKeyTable();
    for (const KeyString& entry : entries_) {
        const std::string bytes = notationToBytes(entry.notation);
        const int row = findKeyRow(entry.legend);
        if (row >= 0) table[std::size_t(row)].output = bytes;
    }
    return table;
}

}  // namespace k7
