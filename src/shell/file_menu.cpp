#include "shell/file_menu.h"

#include <algorithm>
#include <exception>

#include "cfgfile/cfg_file.h"
#include "shell/main_window_design.h"

namespace k7 {
namespace {

constexpr const char* kOpenFilter = "KORV (*.cfg)|*.cfg|All Files (*.*)|*.*";
constexpr const char* kSaveFilter = "KORV (*.cfg)|*.cfg";
constexpr const char* kOpenError = "Error opening specified config file. ";
constexpr const char* kSaveError = "Error saving file ";
constexpr const char* kNoFileName = "No filename entered";
constexpr int kRecentFiles = int(std::size(controls::kRecentFiles));  // the menu's entries

// The file's name without its folder.
std::string withoutFolder(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name typed without an extension gets ".cfg", so the Open dialog lists the file.
std::string withCfgExtension(const std::string& path) {
    return withoutFolder(path).find('.') == std::string::npos ? path + ".cfg" : path;
}

}  // namespace

FileMenu::FileMenu(Platform& platform, ListEdits& edits, Label& fileLabel, SettingsFile& settings)
    : platform_(platform), edits_(edits), fileLabel_(fileLabel), settings_(settings) {
    for (int i = 0; i < kRecentFiles; ++i)
        platform_.ui.menu(controls::kRecentFiles[i]).onClick = [this, i] {
            if (i < int(recent_.size())) openFile(recent_[std::size_t(i)]);
        };
}

void FileMenu::start() {
    recent_ = settings_.recentFiles();
    showRecent();
}

void FileMenu::open() {
    if (!maySetAside("opening another file")) return;
    const auto chosen = platform_.dialogs.openFileName(platform_.env.documentsFolder(), kOpenFilter);
    if (!chosen || chosen->empty()) return;  // cancelled: the list stays as it was
    load(*chosen);
}

void FileMenu::openFile(const std::string& path) {
    if (maySetAside("opening " + withoutFolder(path))) load(path);
}

// A file that cannot be opened leaves the list and the file name as they were.
void FileMenu::load(const std::string& path) {
    Dialogs& dialogs = platform_.dialogs;
    CfgContent content;
    try {
        content = readCfgFile(*platform_.files.openRead(path));
    } catch (const std::exception& e) {
        dialogs.message(kOpenError + std::string(e.what()));
        remember(path, false);
        return;
    }
    edits_.change("Open", [&] { edits_.list().replace(content.entries); });
    fileName_ = path;
    fileLabel_.setFileName(withoutFolder(fileName_));
    if (!content.readError) edits_.markSaved();  // else the list is not the whole file
    remember(path, true);
    if (const std::string report = notLoadedReport(content); !report.empty()) dialogs.message(report);
    if (content.readError) dialogs.message(kOpenError + *content.readError);
}

bool FileMenu::save() {
    if (fileName_.empty()) {
        platform_.dialogs.message(kNoFileName);
        return false;
    }
    return mayWrite(fileName_) && write(fileName_);
}

bool FileMenu::saveAs() {
    const auto chosen = platform_.dialogs.saveFileName(platform_.env.documentsFolder(), kSaveFilter);
    if (!chosen) return false;
    if (chosen->empty()) {
        platform_.dialogs.message(kNoFileName);
        return false;
    }
    const std::string path = withCfgExtension(*chosen);
    const bool write = mayWrite(path);
    fileName_ = path;  // after No, the next Save targets this name and asks again
    fileLabel_.setFileName(withoutFolder(fileName_));
    return write && this->write(fileName_);
}

bool FileMenu::maySetAside(const std::string& before) {
    if (!edits_.unsaved()) return true;
    switch (platform_.dialogs.askToSave("The list of key strings has changes that are not saved.\n\nSave them before " +
                                        before + "?")) {
    case SaveChoice::Save: return fileName_.empty() ? saveAs() : save();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: return false;
    }
    return false;
}

// True when nothing of that name is there, or the user agrees to replace it.
bool FileMenu::mayWrite(const std::string& path) {
    return !platform_.files.exists(path) ||
           platform_.dialogs.confirm("File exists -- want to overwrite? Y/N", "Confirm");
}

// The old file is replaced only by a complete new one.
bool FileMenu::write(const std::string& path) {
    try {
        platform_.files.replaceWith(path, cfgFileText(edits_.list().entries(), platform_.env.nowText()));
    } catch (const std::exception& e) {
        platform_.dialogs.message(kSaveError + std::string(e.what()));
        return false;
    }
    edits_.markSaved();
    remember(path, true);
    platform_.dialogs.message("Save Successful");
    return true;
}

// Puts the file first among the recent files, or takes it out. A name with a line break
// would break the settings file's lines: it is not kept.
void FileMenu::remember(const std::string& path, bool recent) {
    std::vector<std::string> files = recent_;
    std::erase(files, path);
    if (recent && path.find_first_of("\r\n") == std::string::npos) files.insert(files.begin(), path);
    if (files.size() > std::size_t(kRecentFiles)) files.resize(kRecentFiles);
    if (files == recent_) return;
    recent_ = files;
    showRecent();
    SettingsFile edited = settings_;
    edited.setRecentFiles(recent_);
    try {
        edited.save();
        settings_ = std::move(edited);
    } catch (const std::exception&) {
        // A settings file that cannot be written keeps its old list; the menu has the new one.
    }
}

void FileMenu::showRecent() {
    for (int i = 0; i < kRecentFiles; ++i) {
        MenuItem& item = platform_.ui.menu(controls::kRecentFiles[i]);
        item.setVisible(i < int(recent_.size()));
        if (i < int(recent_.size())) item.showFile(i + 1, recent_[std::size_t(i)]);
    }
    platform_.ui.menu(controls::kOpenRecent).setEnabled(!recent_.empty());
}

}  // namespace k7
