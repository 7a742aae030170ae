#pragma once
// What a device session tells the one who runs it, as it happens: the status log, the
// progress of long passes, the caption and verdict of the operation, and failures.
#include <string>

namespace k7 {

enum class VerdictPicture { Checkmark, QuestionMark };

class SessionObserver {
public:
    virtual ~SessionObserver() = default;
    virtual void statusLine(const std::string& line) = 0;
    // A progress display: shown at 0, its maximum, its value, hidden again.
    virtual void progressShown() = 0;
    virtual void progressMaximum(int maximum) = 0;
    virtual void progress(int value) = 0;
    virtual void progressHidden() = 0;
    // The operation's caption while it runs (the verdict picture hidden), none at all,
    // or its verdict: caption and picture.
    virtual void caption(const std::string& text) = 0;
    virtual void captionHidden() = 0;
    virtual void verdict(const std::string& text, VerdictPicture picture) = 0;
    // A failure the user must acknowledge before the program goes on.
    virtual void failure(const std::string& message) = 0;
    // The device did not answer the probe.
    virtual void alert() = 0;
};

}  // namespace k7
