#include "shell/file_menu.h"

#include <exception>

#include "cfgfile/cfg_file.h"

namespace k7 {
namespace {

constexpr const char* kOpenFilter = "KORV (*.cfg)|*.cfg|All Files (*.*)|*.*";
constexpr const char* kSaveFilter = "KORV (*.cfg)|*.cfg";
constexpr const char* kOpenError = "Error opening specified config file. ";
constexpr const char* kSaveError = "Error saving file ";
constexpr const char* kNoFileName = "No filename entered";

// The file's name without its folder.
std::string withoutFolder(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void FileMenu::open() {
    const auto chosen = platform_.dialogs.openFileName(platform_.env.documentsFolder(), kOpenFilter);
    if (!chosen || chosen->empty()) return;  // cancelled: the list stays as it was
    openFile(*chosen);
}

void FileMenu::openFile(const std::string& path) {
    Dialogs& dialogs = platform_.dialogs;
    list_.clear();
    fileName_ = path;
    fileLabel_.setFileName(withoutFolder(fileName_));
    try {
        const CfgContent content = readCfgFile(*platform_.files.openRead(fileName_));
        list_.replace(content.entries);
        if (const std::string report = notLoadedReport(content); !report.empty()) dialogs.message(report);
        if (content.readError) dialogs.message(kOpenError + *content.readError);
    } catch (const std::exception& e) {
        dialogs.message(kOpenError + std::string(e.what()));
    }
}

void FileMenu::save() {
    if (fileName_.empty()) {
        platform_.dialogs.message(kNoFileName);
        return;
    }
    if (mayWrite(fileName_)) write(fileName_);
}

void FileMenu::saveAs() {
    const auto chosen = platform_.dialogs.saveFileName(platform_.env.documentsFolder(), kSaveFilter);
    if (!chosen) return;
    if (chosen->empty()) {
        platform_.dialogs.message(kNoFileName);
        return;
    }
    const bool write = mayWrite(*chosen);
    fileName_ = *chosen;  // after No, the next Save targets this name and asks again
    if (write) this->write(fileName_);
}

// True when nothing of that name is there, or the user agrees to replace it.
bool FileMenu::mayWrite(const std::string& path) {
    return !platform_.files.exists(path) ||
           platform_.dialogs.confirm("File exists -- want to overwrite? Y/N", "Confirm");
}

// The old file is replaced only by a complete new one.
void FileMenu::write(const std::string& path) {
    try {
        platform_.files.replaceWith(path, cfgFileText(list_.entries(), platform_.env.nowText()));
        platform_.dialogs.message("Save Successful");
    } catch (const std::exception& e) {
        platform_.dialogs.message(kSaveError + std::string(e.what()));
    }
}

}  // namespace k7
