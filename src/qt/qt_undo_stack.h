#pragma once
// The undo stack on QUndoStack.
#include <QUndoStack>

#include "ui/undo_stack.h"

namespace k7::qt {

class QtUndoStack : public UndoStack {
public:
    QtUndoStack();
    // The stack empties itself as it goes, which is no change to report.
    ~QtUndoStack() override { QObject::disconnect(&stack_, nullptr, nullptr, nullptr); }
    void record(const std::string& text, std::function<void()> undo, std::function<void()> redo) override;
    void undo() override { stack_.undo(); }
    void redo() override { stack_.redo(); }
    bool canUndo() const override { return stack_.canUndo(); }
    bool canRedo() const override { return stack_.canRedo(); }
    void setClean() override { stack_.setClean(); }
    bool isClean() const override { return stack_.isClean(); }
private:
    QUndoStack stack_;
};

}  // namespace k7::qt
