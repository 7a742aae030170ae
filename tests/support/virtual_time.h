#pragma once
// Virtual time for tests: timers, the event pump and the serial line run on a clock the
// test owns. A wait jumps straight to the next thing that can happen.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/event_pump.h"

namespace k7::test {

class VirtualClock {
public:
    std::int64_t nowUs() const { return now_; }
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

// The event pump on virtual time. waitEvents() advances the clock to the earliest wake-up
// (timer tick, serial byte, scheduled action) and fires it; with nothing to wake it, the
// program would hang for ever, so the test fails instead.
class FakePump : public EventPump {
public:
    explicit FakePump(VirtualClock& clock) : clock_(clock) {}
    void addSource(WakeSource* source) { sources_.push_back(source); }
    void removeSource(WakeSource* source) { std::erase(sources_, source); }
    // Runs `action` as an event once virtual time reaches atUs (a user click, a cable pulled...).
    void at(std::int64_t atUs, std::function<void()> action) { scheduled_.emplace(atUs, std::move(action)); }
    void doEvents() override { runScheduled(); }
    void waitEvents() override;
    std::unique_ptr<Timer> createTimer() override;
    int waits = 0;
private:
    void runScheduled();
    VirtualClock& clock_;
    std::vector<WakeSource*> sources_;
    std::multimap<std::int64_t, std::function<void()>> scheduled_;
};

}  // namespace k7::test
