#include "qt/qt_job_threads.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <memory>
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

void runJobsOnThreads(const std::vector<std::function<void()>>& jobs, const std::function<void(int signal)>& interrupted) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) fds[0] = fds[1] = -1;
    signalPipe = fds[1];
    struct sigaction action {}, oldInt{}, oldTerm{};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESETHAND | SA_RESTART;  // the second signal ends the program
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &oldInt);
    ::sigaction(SIGTERM, &action, &oldTerm);

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
    std::unique_ptr<QSocketNotifier> notifier;
    if (fds[0] >= 0) {
        notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [&] {
            char buffer[16];
            int signal = SIGINT;
            for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) signal = buffer[n - 1];
            interrupted(signal);
            for (const auto& waker : wakers) QMetaObject::invokeMethod(waker.get(), [] {}, Qt::QueuedConnection);
        });
    }
    for (const auto& thread : threads) thread->start();
    if (running > 0) loop.exec();
    for (const auto& thread : threads) thread->wait();
    wakers.clear();

    ::sigaction(SIGINT, &oldInt, nullptr);
    ::sigaction(SIGTERM, &oldTerm, nullptr);
    signalPipe = -1;
    notifier.reset();
    if (fds[0] >= 0) ::close(fds[0]), ::close(fds[1]);
}

}  // namespace k7::qt
