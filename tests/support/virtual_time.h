#pragma once
// Virtual time for tests: timers, the event pump and the serial line all run on a
// clock the test owns. A wait jumps straight to the next thing that can happen.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace k7::test {

class VirtualClock {
public:
    std::int64_t nowUs() const { return now_; }
    std::int64_t nowMs() const { return now_ / 1000; }
    void advanceTo(std::int64_t us) { if (us > now_) now_ = us; }
private:
    std::int64_t now_ = 0;
};

// Something that can wake a waiting event loop at a known time.
class WakeSource {
public:
    virtual ~WakeSource() = default;
    virtual std::optional<std::int64_t> nextWakeUs() const = 0;
    virtual void fireDue(std::int64_t nowUs) = 0;
};

class FakeTimer : public Timer, public WakeSource {
public:
    explicit FakeTimer(VirtualClock& clock) : clock_(clock) {}
    void setInterval(int ms) override;
    int interval() const override { return interval_; }
    void setEnabled(bool on) override;
    bool enabled() const override { return enabled_; }
    std::optional<std::int64_t> nextWakeUs() const override;
    void fireDue(std::int64_t nowUs) override;
private:
    VirtualClock& clock_;
    int interval_ = 0;
    bool enabled_ = false;
    std::int64_t due_ = 0;
};

// The event pump on virtual time. waitEvents() advances the clock to the earliest
// wake-up (timer tick, serial byte, scheduled action) and fires it; with nothing to
// wake it, the program would hang for ever, so the test fails instead.
class FakePump : public EventPump {
public:
    explicit FakePump(VirtualClock& clock) : clock_(clock) {}
    void addSource(WakeSource* source) { sources_.push_back(source); }
    void removeSource(WakeSource* source);
    // Runs `action` as an event once virtual time reaches atUs (a user click, a cable pulled...).
    void at(std::int64_t atUs, std::function<void()> action) { scheduled_.emplace(atUs, std::move(action)); }
    void doEvents() override;
    void waitEvents() override;
    int waits = 0;
    int doEventsCalls = 0;
    // Guards against a test looping for ever on virtual time.
    std::int64_t limitUs = 3600LL * 1000 * 1000;
private:
    void runScheduled();
    VirtualClock& clock_;
    std::vector<WakeSource*> sources_;
    std::multimap<std::int64_t, std::function<void()>> scheduled_;
};

}  // namespace k7::test
