#pragma once
// The key-string list: which keys get which output string. An entry is a key's legend
// and its string in notation, as the user wrote it. The list keeps one entry per key
// when the user adds one; a file or the device may bring entries as they are.
#include <functional>
#include <string>
#include <vector>

#include "keystrings/key_table.h"

namespace k7 {

struct KeyString {
    std::string legend;
    std::string notation;
    bool operator==(const KeyString&) const = default;
};

class KeyStringList {
public:
    enum class AddResult { Added, NoKey, AlreadyListed };

    // Refuses an empty legend and a legend that is already listed.
    AddResult add(const KeyString& entry);
    void remove(int index);
    void clear();
    // Puts `entries` in place of the whole list.
    void replace(std::vector<KeyString> entries);

    const std::vector<KeyString>& entries() const { return entries_; }
    int size() const { return int(entries_.size()); }
    const KeyString& operator[](int index) const { return entries_[std::size_t(index)]; }

    // The key table with each entry's bytes in the row of its legend (entries naming no
    // key are left out, a later entry for the same key wins). Throws RuntimeError when
    // an entry's notation cannot be decoded.
    KeyTable keyTable() const;

    // Called after every change: the index added or removed, or -1 when the whole list changed.
    std::function<void(int index, bool added)> onChanged;

private:
    void changed(int index, bool added) {
        if (onChanged) onChanged(index, added);
    }
    std::vector<KeyString> entries_;
};

}  // namespace k7
