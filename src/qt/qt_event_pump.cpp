#include "qt/qt_event_pump.h"

#include <QCoreApplication>

namespace k7::qt {

// Handlers call this after every byte or character they handle, thousands of times per
// operation; one pass over the event sources costs system calls, so passes closer than
// a millisecond apart are skipped. The window still reacts within a millisecond.
void QtEventPump::doEvents() {
    if (lastPass_.isValid() && lastPass_.nsecsElapsed() < 1'000'000) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastPass_.start();
}

void QtEventPump::waitEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    lastPass_.start();
}

}  // namespace k7::qt
