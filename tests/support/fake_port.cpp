#include "support/fake_port.h"

#include "platform/runtime_error.h"

namespace k7::test {

void FakeSerialPort::setPortName(const std::string& device) {
    portName = device;
    if (!wired.empty()) device_ = wired.count(device) ? wired[device] : nullptr;
}

void FakeSerialPort::setSettings(const LineSettings& s) {
    lineBaud_ = s.baud;
    if (device_ && wired.empty()) device_->setBaud(s.baud);
}

void FakeSerialPort::open() {
    if (open_) throw RuntimeError("Port already open");
    if (failOpen) throw PortOpenError(failOpen->kind, failOpen->description);
    if (failOpenAt.count(portName)) throw PortOpenError(failOpenAt[portName].kind, failOpenAt[portName].description);
    open_ = true;
}

void FakeSerialPort::output(const std::string& bytes) {
    if (!open_) throw RuntimeError("Operation valid only when the port is open");
    if (failOutput) throw RuntimeError(*failOutput);
    sent += bytes;
    if (device_ && device_->baud() == lineBaud_) device_->receive(bytes, clock_.nowUs());
}

std::string FakeSerialPort::input() {
    if (!open_) throw RuntimeError("Operation valid only when the port is open");
    std::string bytes;
    while (!arrivals_.empty() && arrivals_.begin()->first <= clock_.nowUs()) {
        bytes += arrivals_.begin()->second;
        arrivals_.erase(arrivals_.begin());
    }
    if (device_) bytes += device_->take(clock_.nowUs());
    return bytes;
}

// Bytes wake the program when they arrive, unless input is quiet; bytes that have
// arrived and wait unread wake nobody again.
std::optional<std::int64_t> FakeSerialPort::nextWakeUs() const {
    if (!open_ || quiet_) return std::nullopt;
    const std::int64_t now = clock_.nowUs();
    std::optional<std::int64_t> next;
    if (device_)
        if (auto t = device_->nextByteTime(); t && *t > now) next = t;
    for (const auto& [at, bytes] : arrivals_)
        if (at > now) {
            if (!next || at < *next) next = at;
            break;
        }
    return next;
}

}  // namespace k7::test
