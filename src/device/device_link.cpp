#include "device/device_link.h"

#include <algorithm>
#include <cmath>

#include "device/frames.h"

namespace k7 {

int lineWaitMs(int chars, int baud) {
    const double ms = std::nearbyint(12.0 * chars * 1000.0 / baud);  // round half to even
    return std::max(25, int(ms));
}

int settleMs(int baud) { return baud >= 9600 ? 40 : 90; }

DeviceLink::DeviceLink(SerialPort& port, EventPump& pump, SessionObserver& observer)
    : port_(port), pump_(pump), observer_(observer), delayTimer_(pump.createTimer()),
      responseTimer_(pump.createTimer()) {
    delayTimer_->setInterval(10);
    delayTimer_->onTick = [this] { delayTimer_->setEnabled(false); };
    responseTimer_->onTick = [this] {
        if (responseTicks_ > 0) --responseTicks_;
    };
}

void DeviceLink::sendRequest(const std::string& bytes) {
    if (const std::string late = port_.input(); !late.empty())
        observer_.statusLine("Discarded " + std::to_string(late.size()) + " bytes from the line");
    port_.output(bytes);
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

void DeviceLink::startReply(int ms) {
    if (!fast_) return startDelay(ms);
    delayTimer_->setEnabled(false);
    delayTimer_->setInterval(ms);
    delayTimer_->setEnabled(true);
}

std::string DeviceLink::finishReply(const std::function<bool(const std::string&)>& complete) {
    if (!fast_) {
        finishDelay();
        return port_.input();
    }
    std::string reply = port_.input();
    while (!complete(reply) && delayTimer_->enabled()) {
        pump_.waitEvents();  // serial data or the end of the wait wakes it
        reply += port_.input();
    }
    delayTimer_->setEnabled(false);
    return reply;
}

void DeviceLink::pause(int ms) {
    if (!fast_) delay(ms);
}

VersionResult DeviceLink::queryVersion() {
    try {
        OpenPort open(port_);
        sendRequest(kVersionRequest);
        startReply(lineWaitMs(20, baud_));
        // The KORVEN7 ends its version text with CR LF.
        const std::string reply = finishReply([](const std::string& r) { return r.ends_with("\r\n"); });
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
        if (version.text && isKorven7Reply(*version.text)) {
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

}  // namespace k7
