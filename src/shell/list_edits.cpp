#include "shell/list_edits.h"

namespace k7 {

void ListEdits::change(const std::string& what, const std::function<void()>& make) {
    std::vector<KeyString> before = list_.entries();
    make();
    std::vector<KeyString> after = list_.entries();
    if (after == before) return;
    stack_.record(
        what, [this, before = std::move(before)] { list_.replace(before); },
        [this, after = std::move(after)] { list_.replace(after); });
}

}  // namespace k7
