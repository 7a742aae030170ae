#pragma once
// The event pump and its timers: how the program waits without spinning.
#include <functional>
#include <memory>

namespace k7 {

// A timer: ticks on the thread of its pump every interval while enabled.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
    std::function<void()> onTick;
};

class EventPump {
public:
    virtual ~EventPump() = default;
    // Processes the events that are pending now; never blocks.
    virtual void doEvents() = 0;
    // Blocks until at least one event arrives (a timer tick, serial data, user input),
    // then processes the pending events. Never spins.
    virtual void waitEvents() = 0;
    // A timer whose ticks arrive through this pump.
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

}  // namespace k7
