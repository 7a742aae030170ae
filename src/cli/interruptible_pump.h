#pragma once
// A port's event pump that gives up its waits once the user (or the station) has asked
// it to stop.
#include <atomic>
#include <memory>

#include "platform/event_pump.h"

namespace k7 {

// Thrown out of a wait once asked to stop; not a std::exception, so that the engine's
// handlers let it pass (closing the port on the way) instead of reporting it.
struct OperationInterrupted {};

class InterruptiblePump : public EventPump {
public:
    InterruptiblePump(EventPump& pump, const std::atomic<bool>& interrupted) : pump_(pump), interrupted_(interrupted) {}
    void doEvents() override { pump_.doEvents(), check(); }
    void waitEvents() override { pump_.waitEvents(), check(); }
    std::unique_ptr<Timer> createTimer() override { return pump_.createTimer(); }
    void check() const {
        if (interrupted_) throw OperationInterrupted{};
    }
private:
    EventPump& pump_;
    const std::atomic<bool>& interrupted_;
};

}  // namespace k7
