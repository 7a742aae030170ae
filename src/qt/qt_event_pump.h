#pragma once
#include <QElapsedTimer>
#include <memory>

#include "platform/event_pump.h"
#include "qt/qt_timer.h"

namespace k7::qt {

// The Qt event loop of the thread that uses it: the window's thread, or a thread of
// the command line that serves one port.
class QtEventPump : public EventPump {
public:
    void doEvents() override;
    void waitEvents() override;
    std::unique_ptr<Timer> createTimer() override { return std::make_unique<QtTimer>(); }
private:
    QElapsedTimer lastPass_;  // since the event sources were last looked at
};

}  // namespace k7::qt
