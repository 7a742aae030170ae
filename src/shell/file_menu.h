#pragma once
// The File menu: the key-string list as a .cfg file. Open, Save and Save As; the files
// last opened or saved, kept in the settings file; and the question before a list with
// changes not saved is set aside.
#include <string>
#include <vector>

#include "settings/serial_settings.h"
#include "shell/list_edits.h"
#include "ui/platform.h"

namespace k7 {

class FileMenu {
public:
    FileMenu(Platform& platform, ListEdits& edits, Label& fileLabel, SettingsFile& settings);

    // Shows the recent files of the settings file, once it is read.
    void start();
    // File → Open: the dialog, after the question about changes.
    void open();
    // Every load of a file into the list goes through here, after the question: Open, the
    // command line, a drop, the recent files and File → History.
    void openFile(const std::string& path);
    // False when nothing was written.
    bool save();
    bool saveAs();
    // Before the list is set aside (closing the window, opening a file, a read): when it
    // has changes not saved, asks whether to save them, `before` saying what comes
    // ("closing"). False when the user cancels, or the save is cancelled or fails.
    bool maySetAside(const std::string& before);
    const std::string& fileName() const { return fileName_; }

private:
    void load(const std::string& path);
    bool mayWrite(const std::string& path);
    bool write(const std::string& path);
    void remember(const std::string& path, bool recent);
    void showRecent();

    Platform& platform_;
    ListEdits& edits_;
    Label& fileLabel_;
    SettingsFile& settings_;
    std::string fileName_;  // the file the list was opened from or last saved to
    std::vector<std::string> recent_;  // newest first
};

}  // namespace k7
