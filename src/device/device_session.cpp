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
Result endedWith(Ending ending) {
    Result result;
    result.ending = ending;
    return result;
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
        observer_.caption("Sending to KORVEN7");
        // A list that cannot be written fails before anything reaches the device.
        const std::string image = flashImageOf(list.keyTable());
        if (!link_.probeDevice()) return endedWith<SendResult>(Ending::NotAttached);
        result.ending = writeImage(image, writer, at);
        writer.logAck();
    } catch (const std::exception& e) {
        writer.logAck();
        observer_.failure("Error sending to KORVEN7. STRindx=" + std::to_string(at.slot) +
                          "  IstrPos = " + std::to_string(at.slotPosition) + " " + e.what());
        return endedWith<SendResult>(Ending::Failed);
    }
    if (!at.erased) return result;  // nothing was written: nothing to verify
    result.verify = verify(list);
    result.verified = result.verify.ending == Ending::Completed && result.verify.differences.empty();
    return result;
}

Ending DeviceSession::writeImage(const std::string& image, FrameWriter& writer, WritePosition& at) {
    observer_.statusLine("Erasing Flash Page1 ..");
    OpenPort open(port_);
    const std::string erase = eraseFrame();
    if (!writer.send(erase, "SENT:" + commandForLog(erase, true), 1000, "No ACK .. RECVD: "))
        return Ending::NoAcknowledgement;
    at.erased = true;

    observer_.progressMaximum(kProgressMaximum);
    int blockStarted = -1;
    for (const PlannedFrame& planned : framePlan(image)) {
        if (planned.block != blockStarted) {
            blockStarted = planned.block;
            pump_.doEvents();
            if (abortRequested_) return Ending::Aborted;
        }
        bool acknowledged;
        if (planned.flash) {
            writer.logAck();
            observer_.statusLine("Flashing " + std::to_string(kBlockSize) + " bytes. BLOCK " +
                                 std::to_string(planned.block));
            acknowledged = writer.send(planned.frame, commandForLog(planned.frame), 500, "No ACK .. RECVD:");
        } else {
            at.slot = (planned.end - 1) / kSlotSize;
            at.slotPosition = planned.end - at.slot * kSlotSize;
            acknowledged = writer.send(planned.frame,
                                       "SENT:{" + hexText(unsigned(at.slot)) + ")}  " + commandForLog(planned.frame, true),
                                       500, "No ACK .. RECVD:");
        }
        // A frame without acknowledgement ends the writing; the verify shows the result.
        if (!acknowledged) return Ending::NoAcknowledgement;
        at.slot = planned.end / kSlotSize;
        at.slotPosition = planned.end % kSlotSize;
        observer_.progress(std::min(at.slot, kProgressMaximum));
        pump_.doEvents();
    }
    return Ending::Completed;
}

bool DeviceSession::beginReadBack() {
    observer_.statusLine("Read Operation Requested");
    observer_.progressShown();
    return link_.probeDevice();
}

void DeviceSession::readBackFailed(const std::exception& e) {
    observer_.failure(std::string("Error retrieve current key overrides - ") + e.what());
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
                link_.sendRequest(request);
                // The reply's time on the line counts from the moment the request left.
                link_.startReply(lineWaitMs(65, link_.baud()));
                showHeld();
                observer_.statusLine("Sent " + commandForLog(request));
                std::string reply = link_.finishReply(
                    [](const std::string& r) { return r.size() == kReadBackReplyLength; });
                if (reply.size() == kReadBackReplyLength) {
                    const KeyRecord key = parseReadBackReply(reply);
                    readback_[std::size_t(rowOfScancode(key.scancode))] = key;
                }
                heldReply = std::move(reply);
                heldRow = row;
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
    if (!beginReadBack()) return endedWith<ReadResult>(Ending::NotAttached);
    try {
        readBackPass(kReadSettleMs);
    } catch (const std::exception& e) {
        readBackFailed(e);
        return endedWith<ReadResult>(Ending::Failed);
    }
    auto result = endedWith<ReadResult>(Ending::Completed);
    const KeyTable defaults = defaultKeyTable();
    for (int row = 0; row < kKeyRows; ++row) {
        const KeyRecord& found = readback_[std::size_t(row)];
        const std::string& legend = defaults[std::size_t(row)].legend;
        if (found.scancode == 0) {
            observer_.statusLine("!NO REPLY!\tKey(" + std::to_string(row) + ") " + legend);
            result.unreadRows.push_back(row);
        } else if (!compareReadBackKey(found, defaults[std::size_t(row)]).empty()) {
            result.customStrings.push_back({legend, bytesToNotation(found.output)});
        }
    }
    const std::string n = std::to_string(result.customStrings.size());
    const std::string unread = std::to_string(result.unreadRows.size());
    const std::string keys = result.unreadRows.size() == 1 ? " key" : " keys";
    const VerdictPicture picture = result.unreadRows.empty() ? VerdictPicture::Checkmark : VerdictPicture::QuestionMark;
    if (!result.customStrings.empty()) {
        observer_.statusLine(n + " KORVEN7 contains " + n + " custom strings");
        if (!result.unreadRows.empty()) observer_.statusLine(unread + keys + " did not answer");
        observer_.verdict(n + " Custom strings found in KORVEN7 ", picture);
    } else if (!result.unreadRows.empty()) {
        // Keys that did not answer may hold anything: no claim that all are default.
        observer_.statusLine(unread + keys + " did not answer");
        observer_.verdict(unread + " KORVEN7" + keys + " did not answer", picture);
    } else {
        observer_.statusLine("ALL KORVEN7 strings found to be default values");
        observer_.verdict("KORVEN7 strings all DEFAULT", picture);
    }
    return result;
}

VerifyResult DeviceSession::verify(const KeyStringList& list) {
    observer_.caption("Readback/Verify KORVEN7 strings");
    if (!beginReadBack()) return endedWith<VerifyResult>(Ending::NotAttached);
    KeyTable expected;
    try {
        readBackPass(kVerifySettleMs);
        expected = list.keyTable();
    } catch (const std::exception& e) {
        readBackFailed(e);
        return endedWith<VerifyResult>(Ending::Failed);
    }
    observer_.caption("Comparing Readback against list");
    auto result = endedWith<VerifyResult>(Ending::Completed);
    for (int row = 0; row < kKeyRows; ++row) {
        const KeyRecord& found = readback_[std::size_t(row)];
        const std::string diff = compareReadBackKey(found, expected[std::size_t(row)]);
        if (diff.empty()) continue;
        observer_.statusLine("!FAILED!\tKey(" + std::to_string(row) + ") " + expected[std::size_t(row)].legend + " " + diff);
        result.differences.push_back({row, expected[std::size_t(row)], found});
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

std::string DeviceSession::version() {
    observer_.captionHidden();
    link_.pause(200);
    const std::string text = link_.queryVersion();
    observer_.statusLine("Requesting Version");
    observer_.statusLine("Version = " + text);
    return text;
}

}  // namespace k7
