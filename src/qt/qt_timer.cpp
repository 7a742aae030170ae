#include "qt/qt_timer.h"

namespace k7::qt {

QtTimer::QtTimer() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { if (onTick) onTick(); });
}

void QtTimer::setInterval(int ms) { timer_.setInterval(ms); }

void QtTimer::setEnabled(bool on) {
    if (on && !timer_.isActive() && timer_.interval() > 0) timer_.start();
    if (!on) timer_.stop();
}

}  // namespace k7::qt
