#pragma once
// The keyboard's history: what each complete read found and each list sent, kept as .cfg
// files in one folder, named by time, what happened and port:
//   2026-12-07_013005_read_ttyUSB0.cfg   (the next file in the same second: 013005-2)
// The newest files are kept, the oldest removed; files of other names are left alone.
// It costs the keyboard nothing, and a failure to write it never stops an operation:
// `record` swallows it and hands back a status line, once per store.
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "keystrings/key_string_list.h"
#include "platform/files.h"

namespace k7 {

enum class HistoryEvent { Read, Sent, Backup };

struct HistoryEntry {
    std::string path;
    std::string time;  // "2026-12-07 01:30:05"
    std::string port;  // as in the file's name: "ttyUSB0"
    HistoryEvent event = HistoryEvent::Read;
    int customStrings = -1;  // -1: the file cannot be read
};

// "read from ttyUSB0", "sent to ttyUSB0", "backed up from ttyUSB0".
std::string historyEventText(HistoryEvent event, const std::string& port);

// A device path as it stands in a file name: /dev/ttyUSB0 is ttyUSB0, /dev/pts/3 pts-3,
// any other path its last part; only letters, digits, '-', '.' and '_' are kept.
std::string portForFileName(const std::string& device);

// "2026-12-07_013005_read_ttyUSB0.cfg", in local time.
std::string historyFileName(std::time_t when, HistoryEvent event, const std::string& device);

class KeyboardHistory {
public:
    static constexpr std::size_t kKept = 200;

    KeyboardHistory(FileStore& files, std::string folder, std::size_t kept = kKept)
        : files_(files), folder_(std::move(folder)), kept_(kept) {}

    // Writes the list as the file for `when`, then removes the oldest beyond the number
    // kept. Returns the file's path; throws RuntimeError when it cannot be written.
    std::string write(HistoryEvent event, const std::string& device, const std::vector<KeyString>& entries,
                      std::time_t when, const std::string& writtenAt);
    // As write, but never throws: the first failure of this store comes back as a line for
    // the log, every other call gives "".
    std::string record(HistoryEvent event, const std::string& device, const std::vector<KeyString>& entries,
                       std::time_t when, const std::string& writtenAt);

    // Newest first.
    std::vector<HistoryEntry> entries() const;
    const std::string& folder() const { return folder_; }

private:
    std::vector<std::string> historyNames() const;  // oldest first

    FileStore& files_;
    std::string folder_;
    std::size_t kept_;
    bool failureReported_ = false;
    mutable std::mutex mutex_;  // korven7 writes from the thread of each port
};

}  // namespace k7
