#include "qt/qt_undo_stack.h"

#include "qt/qt_text.h"

namespace k7::qt {
namespace {

constexpr int kUndoSteps = 100;  // the oldest changes go beyond this

// A change already made when it is pushed: the stack's first redo has nothing to do.
class RecordedChange : public QUndoCommand {
public:
    RecordedChange(const std::string& text, std::function<void()> undo, std::function<void()> redo)
        : QUndoCommand(ToQ(text)), undo_(std::move(undo)), redo_(std::move(redo)) {}
    void undo() override { undo_(); }
    void redo() override {
        if (made_) redo_();
        made_ = true;
    }
private:
    std::function<void()> undo_, redo_;
    bool made_ = false;
};

}  // namespace

QtUndoStack::QtUndoStack() {
    stack_.setUndoLimit(kUndoSteps);
    auto changed = [this] { if (onChanged) onChanged(); };
    QObject::connect(&stack_, &QUndoStack::indexChanged, changed);
    QObject::connect(&stack_, &QUndoStack::cleanChanged, changed);
}

void QtUndoStack::record(const std::string& text, std::function<void()> undo, std::function<void()> redo) {
    stack_.push(new RecordedChange(text, std::move(undo), std::move(redo)));
}

}  // namespace k7::qt
