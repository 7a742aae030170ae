#include "support/virtual_time.h"

#include <algorithm>
#include <stdexcept>

namespace k7::test {

void FakeTimer::setInterval(int ms) {
    interval_ = ms;
    if (enabled_) due_ = clock_.nowUs() + std::int64_t(std::max(ms, 1)) * 1000;
}

void FakeTimer::setEnabled(bool on) {
    if (on && !enabled_) due_ = clock_.nowUs() + std::int64_t(std::max(interval_, 1)) * 1000;
    enabled_ = on;
}

std::optional<std::int64_t> FakeTimer::nextWakeUs() const {
    if (!enabled_ || interval_ <= 0) return std::nullopt;
    return due_;
}

void FakeTimer::fireDue(std::int64_t nowUs) {
    if (!enabled_ || interval_ <= 0 || due_ > nowUs) return;
    due_ += std::int64_t(interval_) * 1000;
    if (onTick) onTick();
}

void FakePump::removeSource(WakeSource* source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

void FakePump::runScheduled() {
    while (!scheduled_.empty() && scheduled_.begin()->first <= clock_.nowUs()) {
        auto action = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        action();
    }
}

void FakePump::doEvents() {
    ++doEventsCalls;
    runScheduled();
}

void FakePump::waitEvents() {
    ++waits;
    std::optional<std::int64_t> next;
    for (auto* s : sources_)
        if (auto t = s->nextWakeUs(); t && (!next || *t < *next)) next = t;
    if (!scheduled_.empty() && (!next || scheduled_.begin()->first < *next)) next = scheduled_.begin()->first;
    if (!next) throw std::logic_error("the program waits for an event that can never come");
    if (*next > limitUs) throw std::logic_error("virtual time ran past the test's limit");
    clock_.advanceTo(*next);
    runScheduled();
    // Copy: a handler may add or remove sources.
    auto sources = sources_;
    for (auto* s : sources) s->fireDue(clock_.nowUs());
}

}  // namespace k7::test
