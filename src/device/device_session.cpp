#include "device/device_session.h"

#include <algorithm>
#include <utility>

#include "device/flash_image.h"
#include "device/frames.h"
#include "device/readback.h"
#include "keystrings/notation.h"

namespace k7 {
namespace {

constexpr int kProgressMaximum = kKeyRows - 1;
constexpr int kReadSettleMs = 2000;
constexpr int kVerifySettleMs = 1000;

template <class Result>
Result endedWith(OperationOutcome outcome) {
    Result result;
    result.outcome = std::move(outcome);
    return result;
}

std::string keyList(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& key : keys) text += (text.empty() ? "" : ", ") + key;
    return text;
}

std::string keysCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " key" : " keys"); }

// "1 key differs: A", "2 keys differ from the list: A, B"
std::string differ(const std::vector<std::string>& legends, const std::string& from = "") {
    return keysCount(legends.size()) + (legends.size() == 1 ? " differs" : " differ") + from + ": " + keyList(legends);
}

// "2 keys did not answer: F, G"
OperationOutcome unansweredKeys(const std::vector<std::string>& legends) {
    return outcomeOf(OutcomeKind::KeysUnanswered, keysCount(legends.size()) + " did not answer: " + keyList(legends));
}

}  // namespace

DeviceSession::DeviceSession(SerialPort& port, EventPump& pump, SessionObserver& observer)
    : link_(port, pump, observer), port_(port), pump_(pump), observer_(observer) {}

void DeviceSession::configure(const std::string& device, const LineSettings& line) {
    if (port_.isOpen()) port_.close();
    port_.setPortName(device);
    port_.setSettings(line);
    link_.setBaud(line.baud);
}

// Sends frames and awaits their acknowledgements. An acknowledgement's line waits for the
// next frame to leave, so that logging it (and the window's repaint) overlaps that frame's
// wait; the order of lines holds.
class FrameWriter {
public:
    FrameWriter(DeviceLink& link, SessionObserver& observer) : link_(link), observer_(observer) {}
    // Sends a frame and logs `line` while its acknowledgement is awaited, which counts
    // from the frame's departure. False when it was not acknowledged.
    bool send(const std::string& frame, const std::string& line, int ackMs, const char* noAck) {
        link_.sendRequest(frame);
        link_.startAck(ackMs);
        logAck();
        link_.logDiscarded();
        observer_.statusLine(line);
        const std::string reply = link_.finishAck(ackMs);
        if (!isAcknowledged(reply)) {
            observer_.statusLine(noAck + reply);
            return false;
        }
        ackLine_ = "RECVD:" + reply;
        return true;
    }
    // Logs the acknowledgement still held.
    void logAck() {
        if (!ackLine_.empty()) observer_.statusLine(ackLine_);
        ackLine_.clear();
    }

private:
    DeviceLink& link_;
    SessionObserver& observer_;
    std::string ackLine_;
};

SendResult DeviceSession::send(const KeyStringList& list) {
    WritePosition at;
    FrameWriter writer(link_, observer_);
    SendResult result;
    try {
        observer_.progressShown();
        abortRequested_ = false;
        eraseSent_ = false;
        observer_.caption("Sending to KORVEN7");
        // A list that cannot be written fails before anything reaches the device.
        const std::string image = flashImageOf(list.keyTable());
        if (OperationOutcome probe = link_.probeDevice(); !probe.ok()) return endedWith<SendResult>(probe);
        result.outcome = writeImage(image, writer, at);
        result.written = result.outcome.ok();
        writer.logAck();
    } catch (const std::exception& e) {
        writer.logAck();
        observer_.failure("Error sending to KORVEN7. STRindx=" + std::to_string(at.slot) +
                          "  IstrPos = " + std::to_string(at.slotPosition) + " " + e.what());
        result.outcome = failureOutcome(e);
        result.eraseSent = eraseSent_;
        return result;
    }
    result.eraseSent = eraseSent_;
    if (!at.erased) return result;  // nothing was written: nothing to verify
    result.verify = verify(list);
    if (result.outcome.ok()) result.outcome = result.verify.outcome;
    return result;
}

OperationOutcome DeviceSession::writeImage(const std::string& image, FrameWriter& writer, WritePosition& at) {
    observer_.statusLine("Erasing Flash Page1 ..");
    OpenPort open(port_);
    const std::string erase = eraseFrame();
    eraseSent_ = true;
    if (!writer.send(erase, "SENT:" + commandForLog(erase, true), 1000, "No ACK .. RECVD: "))
        return noAcknowledgement("the erase frame");
    at.erased = true;

    observer_.progressMaximum(kProgressMaximum);
    int blockStarted = -1;
    for (const PlannedFrame& planned : framePlan(image)) {
        if (planned.block != blockStarted) {
            blockStarted = planned.block;
            pump_.doEvents();
            if (abortRequested_) return outcomeOf(OutcomeKind::Stopped, "stopped by the user part-way");
        }
        // A frame without acknowledgement ends the writing; the verify shows the result.
        if (planned.flash) {
            writer.logAck();
            observer_.statusLine("Flashing " + std::to_string(kBlockSize) + " bytes. BLOCK " +
                                 std::to_string(planned.block));
            if (!writer.send(planned.frame, commandForLog(planned.frame), 500, "No ACK .. RECVD:"))
                return noAcknowledgement("the flash frame of block " + std::to_string(planned.block));
        } else {
            at.slot = (planned.end - 1) / kSlotSize;
            at.slotPosition = planned.end - at.slot * kSlotSize;
            if (!writer.send(planned.frame,
                             "SENT:{" + hexText(unsigned(at.slot)) + ")}  " + commandForLog(planned.frame, true), 500,
                             "No ACK .. RECVD:"))
                return noAcknowledgement("the write frame of slot " + std::to_string(at.slot));
        }
        at.slot = planned.end / kSlotSize;
        at.slotPosition = planned.end % kSlotSize;
        observer_.progress(std::min(at.slot, kProgressMaximum));
        pump_.doEvents();
    }
    return {};
}

OperationOutcome DeviceSession::beginReadBack() {
    observer_.statusLine("Read Operation Requested");
    observer_.progressShown();
    return link_.probeDevice();
}

OperationOutcome DeviceSession::readBackFailed(const std::exception& e) {
    observer_.failure(std::string("Error retrieve current key overrides - ") + e.what());
    return failureOutcome(e);
}

void DeviceSession::logReply(const std::string& reply) {
    std::string line;
    try {
        line = replyForLog(reply, 8, [this] { pump_.doEvents(); });
    } catch (const std::exception& e) {
        observer_.failure(std::string("Error in ASCIIit ") + e.what());
    }
    observer_.statusLine(line);
}

// The reply is complete with this row's answer. The answer to the request before, when it
// came too late for its own wait, may stand first; each answer is filed by its scancode.
std::string DeviceSession::awaitAnswer(int row) {
    std::string reply = link_.finishReply([row](const std::string& r) {
        return r.size() >= 2 * kReadBackReplyLength ||
               (r.size() >= kReadBackReplyLength && scancodeOfReply(r) == row + 4);
    });
    if (reply.size() % kReadBackReplyLength == 0)
        for (std::size_t at = 0; at < reply.size(); at += kReadBackReplyLength) {
            const KeyRecord key = parseReadBackReply(reply.substr(at, kReadBackReplyLength));
            readback_[std::size_t(rowOfScancode(key.scancode))] = key;
        }
    return reply;
}

void DeviceSession::readBackPass(int settle) {
    readback_ = KeyTable{};  // only this pass's answers count
    observer_.progressMaximum(kProgressMaximum);
    {
        OpenPort open(port_);
        // A reply is shown while the next request's wait runs, so that showing it adds
        // nothing to the pass; a reply still held is shown however the pass ends.
        std::string heldReply;
        int heldRow = -1;  // none held
        auto showHeld = [&] {
            if (heldRow < 0) return;
            logReply(heldReply);
            observer_.progress(heldRow);
            heldRow = -1;
        };
        try {
            for (int row = 0; row < kKeyRows; ++row) {
                const std::string request = readBackFrame(row);
                // After a row whose answer had not begun in its wait, what came since is
                // that answer's beginning.
                link_.sendRequest(request, heldRow >= 0 && heldReply.empty());
                // The reply's time on the line counts from the moment the request left.
                link_.startReply(lineWaitMs(65, link_.baud()), kReadBackReplyLength);
                showHeld();
                link_.logDiscarded();
                observer_.statusLine("Sent " + commandForLog(request));
                heldReply = awaitAnswer(row);
                heldRow = row;
            }
            // The last key's answer, when it had not begun in its wait, gets the wait the
            // next request would have given it.
            if (heldReply.empty()) {
                link_.startReply(lineWaitMs(65, link_.baud()), kReadBackReplyLength);
                heldReply = awaitAnswer(heldRow);
            }
        } catch (...) {
            showHeld();
            throw;
        }
        showHeld();
    }
    link_.pause(settle);
    observer_.progressHidden();
}

ReadResult DeviceSession::read() {
    observer_.captionHidden();
    if (OperationOutcome probe = beginReadBack(); !probe.ok()) return endedWith<ReadResult>(probe);
    try {
        readBackPass(kReadSettleMs);
    } catch (const std::exception& e) {
        return endedWith<ReadResult>(readBackFailed(e));
    }
    ReadResult result;
    std::vector<std::string> unread;
    const KeyTable defaults = defaultKeyTable();
    for (int row = 0; row < kKeyRows; ++row) {
        const KeyRecord& found = readback_[std::size_t(row)];
        const std::string& legend = defaults[std::size_t(row)].legend;
        if (found.scancode == 0) {
            observer_.statusLine("!NO REPLY!\tKey(" + std::to_string(row) + ") " + legend);
            result.unreadRows.push_back(row);
            unread.push_back(legend);
        } else if (!compareReadBackKey(found, defaults[std::size_t(row)]).empty()) {
            result.customStrings.push_back({legend, bytesToNotation(found.output)});
        }
    }
    if (!unread.empty()) result.outcome = unansweredKeys(unread);
    const std::string n = std::to_string(result.customStrings.size());
    const std::string unreadCount = std::to_string(result.unreadRows.size());
    const std::string keys = result.unreadRows.size() == 1 ? " key" : " keys";
    const VerdictPicture picture = result.unreadRows.empty() ? VerdictPicture::Checkmark : VerdictPicture::QuestionMark;
    if (!result.customStrings.empty()) {
        observer_.statusLine(n + " KORVEN7 contains " + n + " custom strings");
        if (!result.unreadRows.empty()) observer_.statusLine(unreadCount + keys + " did not answer");
        observer_.verdict(n + " Custom strings found in KORVEN7 ", picture);
    } else if (!result.unreadRows.empty()) {
        // Keys that did not answer may hold anything: no claim that all are default.
        observer_.statusLine(unreadCount + keys + " did not answer");
        observer_.verdict(unreadCount + " KORVEN7" + keys + " did not answer", picture);
    } else {
        observer_.statusLine("ALL KORVEN7 strings found to be default values");
        observer_.verdict("KORVEN7 strings all DEFAULT", picture);
    }
    return result;
}

VerifyResult DeviceSession::verify(const KeyStringList& list) {
    observer_.caption("Readback/Verify KORVEN7 strings");
    if (OperationOutcome probe = beginReadBack(); !probe.ok()) return endedWith<VerifyResult>(probe);
    KeyTable expected;
    try {
        readBackPass(kVerifySettleMs);
        expected = list.keyTable();
    } catch (const std::exception& e) {
        return endedWith<VerifyResult>(readBackFailed(e));
    }
    observer_.caption("Comparing Readback against list");
    VerifyResult result;
    std::vector<std::string> unread, differing;
    for (int row = 0; row < kKeyRows; ++row) {
        const KeyRecord& found = readback_[std::size_t(row)];
        const std::string diff = compareReadBackKey(found, expected[std::size_t(row)]);
        if (diff.empty()) continue;
        observer_.statusLine("!FAILED!\tKey(" + std::to_string(row) + ") " + expected[std::size_t(row)].legend + " " + diff);
        result.differences.push_back({row, expected[std::size_t(row)], found});
        (found.scancode == 0 ? unread : differing).push_back(expected[std::size_t(row)].legend);
    }
    // Keys that did not answer may hold anything: that outweighs a difference.
    if (!unread.empty()) {
        result.outcome = unansweredKeys(unread);
        if (!differing.empty()) result.outcome.message += "; " + differ(differing);
    } else if (!differing.empty()) {
        result.outcome = outcomeOf(OutcomeKind::Differs, differ(differing, " from the list"));
    }
    if (!result.differences.empty()) {
        const std::string text = std::to_string(result.differences.size()) + " KORVEN7 strings FAILED to match list";
        observer_.statusLine(text);
        observer_.verdict(text, VerdictPicture::QuestionMark);
    } else {
        observer_.statusLine("KORVEN7 strings verified successfully against list");
        observer_.verdict("KORVEN7 strings VERIFIED!", VerdictPicture::Checkmark);
    }
    return result;
}

VersionResult DeviceSession::version() {
    observer_.captionHidden();
    link_.pause(200);
    const VersionResult result = link_.queryVersion();
    observer_.statusLine("Requesting Version");
    observer_.statusLine("Version = " + versionForLog(result));
    return result;
}

}  // namespace k7
