#pragma once
// The File menu: Open, Save and Save As of the key-string list as a .cfg file.
#include <string>

#include "keystrings/key_string_list.h"
#include "ui/platform.h"

namespace k7 {

class FileMenu {
public:
    FileMenu(Platform& platform, KeyStringList& list, Label& fileLabel)
        : platform_(platform), list_(list), fileLabel_(fileLabel) {}

    void open();
    // Every load of a file into the list goes through here: Open, and File → History.
    void openFile(const std::string& path);
    void save();
    void saveAs();

private:
    bool mayWrite(const std::string& path);
    void write(const std::string& path);

    Platform& platform_;
    KeyStringList& list_;
    Label& fileLabel_;
    std::string fileName_;  // the file the list was opened from or last saved to
};

}  // namespace k7
