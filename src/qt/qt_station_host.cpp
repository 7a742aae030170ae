#include "qt/qt_station_host.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include "qt/qt_job_threads.h"
#include "qt/qt_text.h"
#include "platform/runtime_error.h"

namespace k7::qt {

QtStationHost::QtStationHost() = default;

QtStationHost::~QtStationHost() {
    for (Job& job : jobs_) job.thread->wait();
}

void QtStationHost::watch(const std::string& folder, std::function<void()> changed) {
    folder_ = folder;
    if (!arm()) throw RuntimeError(folder + ": the folder cannot be watched");
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &loop_, [this, changed] {
        arm();
        changed();
    });
}

// Watches the folder; while it is not there (/dev/serial/by-id comes with the first
// adapter and goes with the last), the nearest folder above it, to see it come.
bool QtStationHost::arm() {
    QString path = QDir(PathToQ(folder_)).absolutePath();
    while (!QFileInfo(path).isDir() && path != QDir::rootPath()) path = QFileInfo(path).path();
    if (watcher_.directories() == QStringList{path}) return true;
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    return watcher_.addPath(path);
}

std::vector<std::string> QtStationHost::names(const std::string& folder) {
    std::vector<std::string> names;
    // Broken links too: a link whose device has gone is still a name in the folder.
    const QDir dir(PathToQ(folder));
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden))
        names.push_back(PathFromQ(name));
    return names;
}

std::function<void()> QtStationHost::start(std::function<void()> job, std::function<void()> ended) {
    Job& added = jobs_.emplace_back();
    added.thread.reset(QThread::create(std::move(job)));
    added.waker = std::make_unique<QObject>();
    added.waker->moveToThread(added.thread.get());
    QObject* waker = added.waker.get();
    const auto at = std::prev(jobs_.end());
    QObject::connect(added.thread.get(), &QThread::finished, &loop_, [this, at, ended] {
        at->thread->wait();
        ended();  // may still wake the job: its waker goes only after
        jobs_.erase(at);
    }, Qt::QueuedConnection);
    added.thread->start();
    return [waker] { QMetaObject::invokeMethod(waker, [] {}, Qt::QueuedConnection); };
}

void QtStationHost::run(std::function<void()> interrupted) {
    InterruptSignals stopSignals([interrupted](int) { interrupted(); });
    loop_.exec();
}

}  // namespace k7::qt
