#include "support/virtual_time.h"

#include <algorithm>
#include <stdexcept>

namespace k7::test {
namespace {

class FakeTimer : public Timer, public WakeSource {
public:
    FakeTimer(VirtualClock& clock, FakePump& pump) : clock_(clock), pump_(pump) { pump.addSource(this); }
    ~FakeTimer() override { pump_.removeSource(this); }
    void setInterval(int ms) override {
        interval_ = ms;
        if (enabled_) due_ = clock_.nowUs() + std::max(ms, 1) * 1000LL;
    }
    int interval() const override { return interval_; }
    void setEnabled(bool on) override {
        if (on && !enabled_) due_ = clock_.nowUs() + std::max(interval_, 1) * 1000LL;
        enabled_ = on;
    }
    bool enabled() const override { return enabled_; }
    std::optional<std::int64_t> nextWakeUs() const override {
        return enabled_ && interval_ > 0 ? std::optional(due_) : std::nullopt;
    }
    void fireDue(std::int64_t nowUs) override {
        if (!enabled_ || interval_ <= 0 || due_ > nowUs) return;
        due_ += interval_ * 1000LL;
        if (onTick) onTick();
    }
private:
    VirtualClock& clock_;
    FakePump& pump_;
    int interval_ = 0;
    bool enabled_ = false;
    std::int64_t due_ = 0;
};

}  // namespace

std::unique_ptr<Timer> FakePump::createTimer() { return std::make_unique<FakeTimer>(clock_, *this); }

void FakePump::runScheduled() {
    while (!scheduled_.empty() && scheduled_.begin()->first <= clock_.nowUs()) {
        auto action = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        action();
    }
}

void FakePump::waitEvents() {
    ++waits;
    std::optional<std::int64_t> next;
    for (auto* s : sources_)
        if (auto t = s->nextWakeUs(); t && (!next || *t < *next)) next = t;
    if (!scheduled_.empty() && (!next || scheduled_.begin()->first < *next)) next = scheduled_.begin()->first;
    if (!next) throw std::logic_error("the program waits for an event that can never come");
    if (*next > 3600LL * 1000 * 1000) throw std::logic_error("virtual time ran past an hour");
    clock_.advanceTo(*next);
    runScheduled();
    auto sources = sources_;  // a handler may add or remove sources
    for (auto* s : sources) s->fireDue(clock_.nowUs());
}

}  // namespace k7::test
