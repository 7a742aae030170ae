#pragma once
#include <QTimer>

#include "platform/event_pump.h"

namespace k7::qt {

// A timer on the event loop of the thread that creates it.
class QtTimer : public Timer {
public:
    QtTimer();
    void setInterval(int ms) override;
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool on) override;
    bool enabled() const override { return timer_.isActive(); }
private:
    QTimer timer_;
};

}  // namespace k7::qt
