#pragma once
#include <QEventLoop>
#include <QFileSystemWatcher>
#include <list>
#include <memory>

#include "platform/station_host.h"
#include "qt/qt_port_list.h"

class QThread;

namespace k7::qt {

// The station's host on Qt Core: QFileSystemWatcher (inotify on Linux) for the folder,
// a QThread with its own event loop for each job.
class QtStationHost : public StationHost {
public:
    QtStationHost();
    ~QtStationHost() override;
    void watch(const std::string& folder, std::function<void()> changed) override;
    std::vector<std::string> names(const std::string& folder) override;
    SerialPortInfo adapterOf(const std::string& device) override { return QtPortList::adapterOf(device); }
    std::function<void()> start(std::function<void()> job, std::function<void()> ended) override;
    void run(std::function<void()> interrupted) override;
    void quit() override { loop_.quit(); }

private:
    bool arm();
    struct Job {
        std::unique_ptr<QThread> thread;
        std::unique_ptr<QObject> waker;  // lives in the job's thread: an event posted to it wakes its waits
    };
    QEventLoop loop_;
    QFileSystemWatcher watcher_;
    std::string folder_;
    std::list<Job> jobs_;
};

}  // namespace k7::qt
