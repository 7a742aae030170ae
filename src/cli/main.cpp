// korven7: the command line, on Qt Core and Qt Serial Port only (no display needed).
#include <QCoreApplication>
#include <iostream>
#include <unistd.h>

#include "cli/command_runner.h"
#include "platform/disk_file_store.h"
#include "qt/qt_environment.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_job_threads.h"
#include "qt/qt_port_list.h"
#include "qt/qt_serial_port.h"
#include "qt/qt_station_host.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("korven7");
    k7::DiskFileStore files;
    const k7::qt::QtEnvironment env(false);  // korven7 makes no folder and writes no settings
    k7::CliPlatform platform{
        std::cout,
        std::cerr,
        ::isatty(STDERR_FILENO) == 1,
        files,
        [&] { return env.settingsFileName(); },
        [&] { return env.nowText(); },
        [&] { return env.historyFolder(); },
        [] { return k7::qt::QtPortList().ports(); },
        [] { return std::make_unique<k7::qt::QtSerialPort>(); },
        [] { return std::make_unique<k7::qt::QtEventPump>(); },
        [](const auto& jobs, const auto& interrupted) { k7::qt::runJobsOnThreads(jobs, interrupted); },
        ::isatty(STDOUT_FILENO) == 1,
        [] { return std::make_unique<k7::qt::QtStationHost>(); },
    };
    return k7::runCommandLine(std::vector<std::string>(argv + 1, argv + argc), platform);
}
