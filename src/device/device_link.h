#pragma once
// The serial line to the KORVEN7: frames out, replies in, and the waits between them.
// Every wait blocks on the event pump until something happens (a timer tick, serial
// data, user input), so the window stays live while it waits and no core spins.
#include <functional>
#include <memory>
#include <string>

#include "device/operation_outcome.h"
#include "device/session_observer.h"
#include "platform/event_pump.h"
#include "platform/serial_port.h"

namespace k7 {

// Milliseconds the line needs for `chars` characters of 12 bits each at `baud`,
// rounded to the nearest whole number (halves to even), at least 25.
int lineWaitMs(int chars, int baud);

// How long an acknowledgement wait lets the line settle before it reads: 40 ms from
// 9600 baud up, else 90.
int settleMs(int baud);

// The version as the status log shows it: the reply, "???" when nothing answered, "" after
// a failure.
std::string versionForLog(const VersionResult& version);

// Opens the port when it is closed, and closes it on every way out of the scope.
class OpenPort {
public:
    explicit OpenPort(SerialPort& port) : port_(port) {
        if (!port_.isOpen()) port_.open();
    }
    ~OpenPort() {
        if (port_.isOpen()) port_.close();
    }
    OpenPort(const OpenPort&) = delete;
    OpenPort& operator=(const OpenPort&) = delete;

private:
    SerialPort& port_;
};

class DeviceLink {
public:
    DeviceLink(SerialPort& port, EventPump& pump, SessionObserver& observer);

    SerialPort& port() { return port_; }
    EventPump& pump() { return pump_; }
    void setBaud(int baud) { baud_ = baud; }
    int baud() const { return baud_; }
    // Fast replies: a reply wait ends as soon as the reply is complete, an acknowledgement
    // is read without settling first, and the pauses that await nothing are skipped.
    // Off by default, which keeps the window's timing exactly.
    void setFastReplies(bool on) { fast_ = on; }
    bool fastReplies() const { return fast_; }

    // Sends a request: a frame, a read-back request or the version request. Input still
    // waiting from an earlier late or unexpected reply is discarded first, so that it is
    // neither taken as this request's answer nor breaks that answer apart. With `keepLate`
    // it is kept as the front of the reply instead: the answer to the request before,
    // which had not begun when its wait ended.
    void sendRequest(const std::string& bytes, bool keepLate = false);
    // Logs what the last request discarded, if anything. The caller writes it after the
    // lines of the earlier reply, which it may log late.
    void logDiscarded();

    // Waits up to `ms` for a reply holding "ACK" and returns what arrived ("" after a
    // failure, which is reported). In two halves, so that work done between them (logging
    // the frame just sent) counts into the wait.
    void startAck(int ms);
    std::string finishAck(int ms);
    // Waits `ms`; arriving bytes wait for the read at its end. In two halves too.
    void delay(int ms);
    void startDelay(int ms);
    void finishDelay();
    // Waits for the reply to a request just sent and returns what arrived, in two halves
    // too: all of `ms`, or with fast replies until `complete` holds for what arrived. A
    // reply that has begun but is not complete when the wait ends (a slow adapter hands
    // bytes over in batches) is awaited until it is, for at most `ms` more. A reply known
    // to be `replyBytes` long cannot be complete before those bytes have crossed the
    // line: a fast wait takes nothing in until then, instead of waking for every piece.
    void startReply(int ms, int replyBytes = 0);
    std::string finishReply(const std::function<bool(const std::string&)>& complete);
    // A pause that awaits nothing (after a read-back pass, before a version request);
    // skipped with fast replies.
    void pause(int ms);

    // Asks for the firmware version and closes the port. A failure is reported too.
    VersionResult queryVersion();
    // Up to three version requests; attached (done) when a reply names the KORVEN7. Logs
    // the outcome. When it took more than one request, the answers still owed to the
    // earlier ones are let in and discarded, so that none lands in the next request's wait.
    OperationOutcome probeDevice();

private:
    void awaitRest(std::string& reply, const std::function<bool(const std::string&)>& complete);
    void discardOwedAnswers(int owed);

    SerialPort& port_;
    EventPump& pump_;
    SessionObserver& observer_;
    std::unique_ptr<Timer> delayTimer_;
    std::unique_ptr<Timer> responseTimer_;
    std::unique_ptr<Timer> lineTimer_;  // a fast reply's time on the line
    int responseTicks_ = 0;
    int replyMs_ = 0;              // the wait of the reply awaited
    std::size_t discarded_ = 0;    // bytes the last request discarded, not yet logged
    std::string kept_;             // bytes the last request kept for the front of its reply
    int baud_ = 9600;
    bool fast_ = false;
};

}  // namespace k7
