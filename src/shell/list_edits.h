#pragma once
// Every change the user makes to the key-string list goes through here: it becomes one
// step of undo and redo, and the list knows whether it has changes not saved.
#include <functional>
#include <string>

#include "keystrings/key_string_list.h"
#include "ui/undo_stack.h"

namespace k7 {

class ListEdits {
public:
    ListEdits(KeyStringList& list, UndoStack& stack) : list_(list), stack_(stack) {}

    // Makes the change; a change that leaves the list as it was is no step.
    void change(const std::string& what, const std::function<void()>& make);
    // The list is as it was last opened, saved or read.
    void markSaved() { stack_.setClean(); }
    bool unsaved() const { return !stack_.isClean(); }

    KeyStringList& list() { return list_; }
    UndoStack& stack() { return stack_; }

private:
    KeyStringList& list_;
    UndoStack& stack_;
};

}  // namespace k7
