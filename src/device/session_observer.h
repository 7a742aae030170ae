#pragma once
// What a device session tells the one who runs it, as it happens: the status log, the
// progress of long passes, the caption and verdict of the operation, and failures. Each
// does nothing unless overridden, so an observer implements only what it shows; what
// came of an operation is in its result, not here.
#include <string>

namespace k7 {

enum class VerdictPicture { Checkmark, QuestionMark };

class SessionObserver {
public:
    virtual ~SessionObserver() = default;
    virtual void statusLine(const std::string&) {}
    // A progress display: shown at 0, its maximum, its value, hidden again.
    virtual void progressShown() {}
    virtual void progressMaximum(int) {}
    virtual void progress(int) {}
    virtual void progressHidden() {}
    // The operation's caption while it runs (the verdict picture hidden), none at all,
    // or its verdict: caption and picture.
    virtual void caption(const std::string&) {}
    virtual void captionHidden() {}
    virtual void verdict(const std::string&, VerdictPicture) {}
    // A failure the user must acknowledge before the program goes on.
    virtual void failure(const std::string&) {}
    // The device did not answer the probe.
    virtual void alert() {}
};

}  // namespace k7
