#pragma once
// The engine: the four operations on a KORVEN7 over one serial port. It reports what
// happens through a SessionObserver as it goes and returns what came of it; it knows
// nothing of windows, so the window, the command line and the tests drive the same code.
#include <string>
#include <vector>

#include "device/device_link.h"
#include "keystrings/key_string_list.h"

namespace k7 {

class FrameWriter;

struct KeyDifference {
    int row = 0;
    KeyRecord expected;
    KeyRecord found;   // scancode 0: the key did not answer
};

struct ReadResult {
    OperationOutcome outcome;  // done, keys unanswered, or why the read failed
    std::vector<KeyString> customStrings;  // the keys whose string is not the default, in row order
    std::vector<int> unreadRows;           // keys without a valid answer
    // At least one key gave a valid answer: the device's strings can stand for the list.
    bool hasAnswers() const {
        return (outcome.ok() || outcome.kind == OutcomeKind::KeysUnanswered) && int(unreadRows.size()) < kKeyRows;
    }
};

struct VerifyResult {
    OperationOutcome outcome;  // done, differs, keys unanswered, or why the verify failed
    std::vector<KeyDifference> differences;
};

struct SendResult {
    OperationOutcome outcome;  // done only when written and verified without a difference
    bool eraseSent = false;    // the erase frame went out: the keyboard's strings may be gone
    bool written = false;      // every frame was acknowledged
    VerifyResult verify;       // runs whenever the erase was acknowledged
    bool verified() const { return outcome.ok(); }
};

class DeviceSession {
public:
    DeviceSession(SerialPort& port, EventPump& pump, SessionObserver& observer);

    // Closes the port and sets it up for the next operation.
    void configure(const std::string& device, const LineSettings& line);

    // Erases the device, writes the image of the list over the default strings, then verifies.
    SendResult send(const KeyStringList& list);
    // Reads every key back; the keys whose string is not the default make the result.
    ReadResult read();
    // Reads every key back and compares it with the list over the default strings.
    VerifyResult verify(const KeyStringList& list);
    // Asks for the firmware version and logs it.
    VersionResult version();

    // Ends a running send after the block being written.
    void requestAbort() { abortRequested_ = true; }
    // The last send sent the erase frame, however it ended (an interruption included).
    bool eraseSent() const { return eraseSent_; }

    DeviceLink& link() { return link_; }

private:
    // Where the writing of the image stands, for the message when it fails.
    struct WritePosition {
        int slot = 0;
        int slotPosition = 0;
        bool erased = false;  // the erase frame was acknowledged
    };
    // Erases the device and writes the image block by block, flashing each block.
    OperationOutcome writeImage(const std::string& image, FrameWriter& writer, WritePosition& at);
    OperationOutcome beginReadBack();  // the probe's outcome
    void readBackPass(int settleMs);
    OperationOutcome readBackFailed(const std::exception& e);
    void logReply(const std::string& reply);

    DeviceLink link_;
    SerialPort& port_;
    EventPump& pump_;
    SessionObserver& observer_;
    KeyTable readback_{};  // the last pass's answers; an unanswered row has scancode 0
    bool abortRequested_ = false;
    bool eraseSent_ = false;
};

}  // namespace k7
