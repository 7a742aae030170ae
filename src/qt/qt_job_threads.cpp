#include "qt/qt_job_threads.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>
#include <fcntl.h>
#include <unistd.h>

namespace k7::qt {
namespace {

// The signal handler may only write to a pipe; the event loop reads the other end.
volatile std::sig_atomic_t signalPipe = -1;

void onSignal(int signal) {
    const char byte = char(signal);
    if (signalPipe >= 0) (void)!::write(signalPipe, &byte, 1);
}

}  // namespace

InterruptSignals::InterruptSignals(std::function<void(int signal)> interrupted) {
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) fds_[0] = fds_[1] = -1;
    signalPipe = fds_[1];
    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESETHAND | SA_RESTART;  // the second signal ends the program
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &oldInt_);
    ::sigaction(SIGTERM, &action, &oldTerm_);
    if (fds_[0] < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [fd = fds_[0], interrupted] {
        char buffer[16];
        int signal = SIGINT;
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) signal = buffer[n - 1];
        interrupted(signal);
    });
}

InterruptSignals::~InterruptSignals() {
    ::sigaction(SIGINT, &oldInt_, nullptr);
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
    signalPipe = -1;
    notifier_.reset();
    if (fds_[0] >= 0) ::close(fds_[0]), ::close(fds_[1]);
}

void runJobsOnThreads(const std::vector<std::function<void()>>& jobs, const std::function<void(int signal)>& interrupted) {
    QEventLoop loop;
    std::vector<std::unique_ptr<QThread>> threads;
    // One object living in each job's thread: an event posted to it wakes that thread's waits.
    std::vector<std::unique_ptr<QObject>> wakers;
    std::size_t running = jobs.size();
    for (const auto& job : jobs) {
        threads.emplace_back(QThread::create(job));
        wakers.push_back(std::make_unique<QObject>());
        wakers.back()->moveToThread(threads.back().get());
        QObject::connect(threads.back().get(), &QThread::finished, &loop, [&] {
            if (--running == 0) loop.quit();
        });
    }
    {
        InterruptSignals stopSignals([&](int signal) {
            interrupted(signal);
            for (const auto& waker : wakers) QMetaObject::invokeMethod(waker.get(), [] {}, Qt::QueuedConnection);
        });
        for (const auto& thread : threads) thread->start();
        if (running > 0) loop.exec();
        for (const auto& thread : threads) thread->wait();
    }
    wakers.clear();
}

}  // namespace k7::qt
