#pragma once
// The changes the user made to a document, for undo and redo, and whether the document
// is as it was last opened or saved (its clean state).
#include <functional>
#include <string>

namespace k7 {

class UndoStack {
public:
    virtual ~UndoStack() = default;
    // Records a change that has just been made: `undo` takes it back, `redo` makes it
    // again. Every change that could be redone is dropped.
    virtual void record(const std::string& text, std::function<void()> undo, std::function<void()> redo) = 0;
    virtual void undo() = 0;
    virtual void redo() = 0;
    virtual bool canUndo() const = 0;
    virtual bool canRedo() const = 0;
    // The document as it is now is the one on disk (opened, saved, or read from a device).
    virtual void setClean() = 0;
    virtual bool isClean() const = 0;
    // After a record, an undo, a redo or a change of the clean state.
    std::function<void()> onChanged;
};

}  // namespace k7
