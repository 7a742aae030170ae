#include "device/device_link.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "device/frames.h"

namespace k7 {

int lineWaitMs(int chars, int baud) {
    const double ms = std::nearbyint(12.0 * chars * 1000.0 / baud);  // round half to even
    return std::max(25, int(ms));
}

int settleMs(int baud) { return baud >= 9600 ? 40 : 90; }

DeviceLink::DeviceLink(SerialPort& port, EventPump& pump, SessionObserver& observer)
    : port_(port), pump_(pump), observer_(observer), delayTimer_(pump.createTimer()),
      responseTimer_(pump.createTimer()), lineTimer_(pump.createTimer()) {
    delayTimer_->setInterval(10);
    delayTimer_->onTick = [this] { delayTimer_->setEnabled(false); };
    lineTimer_->onTick = [this] { lineTimer_->setEnabled(false); };
    responseTimer_->onTick = [this] {
        if (responseTicks_ > 0) --responseTicks_;
    };
}

void DeviceLink::sendRequest(const std::string& bytes, bool keepLate) {
    kept_ = port_.input();
    discarded_ = keepLate ? 0 : std::exchange(kept_, std::string()).size();
    port_.output(bytes);
}

void DeviceLink::logDiscarded() {
    if (discarded_ == 0) return;
    observer_.statusLine("Discarded " + std::to_string(discarded_) + (discarded_ == 1 ? " byte" : " bytes") +
                         " from the line");
    discarded_ = 0;
}

void DeviceLink::startAck(int ms) {
    responseTimer_->setEnabled(false);
    responseTimer_->setInterval(10);
    responseTimer_->setEnabled(true);
    responseTicks_ = ms / 10;
}

std::string DeviceLink::finishAck(int ms) {
    try {
        // Settle: let the first ticks pass without reading; bytes need not wake it.
        if (!fast_) {
            port_.setInputQuiet(true);
            while (responseTicks_ > ms / 10 - settleMs(baud_) / 10) pump_.waitEvents();
            port_.setInputQuiet(false);
        }
        std::string reply;
        while (responseTicks_ > 0) {
            reply += port_.input();
            if (reply.find("ACK") != std::string::npos) break;
            pump_.waitEvents();  // serial data or the next tick wakes it
        }
        responseTimer_->setEnabled(false);
        return reply;
    } catch (const std::exception& e) {
        responseTimer_->setEnabled(false);
        observer_.failure(std::string("Error while awaiting ACKnowledge ") + e.what());
        return "";
    }
}

void DeviceLink::delay(int ms) {
    startDelay(ms);
    finishDelay();
}

void DeviceLink::startDelay(int ms) {
    // Nothing is read before the delay ends, so arriving bytes need not wake the wait.
    port_.setInputQuiet(true);
    delayTimer_->setEnabled(false);
    delayTimer_->setInterval(ms);
    delayTimer_->setEnabled(true);
}

void DeviceLink::finishDelay() {
    while (delayTimer_->enabled()) pump_.waitEvents();
    port_.setInputQuiet(false);
}

void DeviceLink::startReply(int ms, int replyBytes) {
    replyMs_ = ms;
    if (!fast_) return startDelay(ms);
    delayTimer_->setEnabled(false);
    delayTimer_->setInterval(ms);
    delayTimer_->setEnabled(true);
    // 10 bits a byte; whole milliseconds, so never later than the last byte.
    lineTimer_->setEnabled(false);
    if (const int lineMs = int(std::int64_t(replyBytes) * 10 * 1000 / baud_); lineMs > 1) {
        port_.setInputQuiet(true);
        lineTimer_->setInterval(lineMs);
        lineTimer_->setEnabled(true);
    }
}

std::string DeviceLink::finishReply(const std::function<bool(const std::string&)>& complete) {
    std::string reply = std::exchange(kept_, std::string());
    if (!fast_) {
        finishDelay();
        reply += port_.input();
    } else {
        while (lineTimer_->enabled() && delayTimer_->enabled()) pump_.waitEvents();
        lineTimer_->setEnabled(false);
        port_.setInputQuiet(false);
        reply += port_.input();
        awaitRest(reply, complete);
    }
    if (reply.empty() || complete(reply)) return reply;
    // Begun, not complete: the rest gets as long again as the wait.
    delayTimer_->setEnabled(false);
    delayTimer_->setInterval(replyMs_);
    delayTimer_->setEnabled(true);
    awaitRest(reply, complete);
    return reply;
}

// Adds what arrives to `reply` until it is complete or the delay timer ends.
void DeviceLink::awaitRest(std::string& reply, const std::function<bool(const std::string&)>& complete) {
    while (!complete(reply) && delayTimer_->enabled()) {
        pump_.waitEvents();  // serial data or the end of the wait wakes it
        reply += port_.input();
    }
    delayTimer_->setEnabled(false);
}

void DeviceLink::pause(int ms) {
    if (!fast_) delay(ms);
}

namespace {

// The KORVEN7 ends its version text with CR LF.
bool isCompleteVersion(const std::string& reply) { return reply.ends_with("\r\n"); }

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

}  // namespace

VersionResult DeviceLink::queryVersion() {
    try {
        OpenPort open(port_);
        sendRequest(kVersionRequest);
        startReply(lineWaitMs(20, baud_));
        const std::string reply = finishReply(isCompleteVersion);
        if (reply.empty()) return {std::nullopt, noVersionReply("")};
        return {reply, {}};
    } catch (const std::exception& e) {
        observer_.failure(std::string("Error getting code version. ") + e.what());
        return {std::nullopt, failureOutcome(e)};
    }
}

OperationOutcome DeviceLink::probeDevice() {
    VersionResult version;
    for (int attempts = 0; attempts < 3; ++attempts) {
        version = queryVersion();
        logDiscarded();
        if (version.text && isKorven7Reply(*version.text)) {
            // Earlier requests had no answer; this reply may hold some of theirs.
            if (const int answers = countOf(*version.text, "KORVEN7"); answers <= attempts)
                discardOwedAnswers(attempts + 1 - answers);
            observer_.statusLine("KORVEN7 device is attached");
            observer_.statusLine(std::string(27, '-'));
            return {};
        }
    }
    observer_.alert();
    observer_.statusLine("KORVEN7 not attached " + versionForLog(version));
    return version.text ? noVersionReply(*version.text) : version.outcome;
}

std::string versionForLog(const VersionResult& version) {
    if (version.text) return *version.text;
    return version.outcome.kind == OutcomeKind::NoVersionReply ? "???" : "";
}

// The owed answers come at the pace the requests went out: each gets one version wait,
// and the last its time to complete.
void DeviceLink::discardOwedAnswers(int owed) {
    try {
        OpenPort open(port_);
        std::string late = port_.input();
        delayTimer_->setEnabled(false);
        delayTimer_->setInterval((owed + 1) * lineWaitMs(20, baud_));
        delayTimer_->setEnabled(true);
        awaitRest(late, [owed](const std::string& r) { return countOf(r, "KORVEN7") >= owed && isCompleteVersion(r); });
        discarded_ = late.size();
        logDiscarded();
    } catch (const std::exception&) {
        // The operation's own open reports a port that fails.
    }
}

}  // namespace k7
