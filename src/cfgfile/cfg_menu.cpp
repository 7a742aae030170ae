// File menu: Open, Save and Save As of the key-string list.
#include <exception>
#include <string>
#include <vector>

#include "cfgfile/cfg_format.h"
#include "shell/form1.h"

namespace k7 {

namespace {
constexpr const char* kOpenFilter = "KORV (*.cfg)|*.cfg|All Files (*.*)|*.*";
constexpr const char* kSaveFilter = "KORV (*.cfg)|*.cfg";
constexpr const char* kOpenError = "Error opening specified config file. ";
constexpr const char* kLineError = "Error extracting info from config file. ";
constexpr const char* kSaveError = "Error saving file ";
constexpr const char* kNoFileName = "No filename entered";
constexpr const char* kSaved = "Save Successful";
constexpr const char* kOverwrite = "File exists -- want to overwrite? Y/N";
constexpr const char* kConfirmTitle = "Confirm";

// The file's name without its folder.
std::string FileLabel(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// True when nothing of that name is there, or the user agrees to replace it.
bool MayWrite(Form1& form, const std::string& path) {
    return !form.platform.files.exists(path) || form.dialogs.confirm(kOverwrite, kConfirmTitle);
}

// Writes the list to `path`; the old file is replaced only by a complete new one.
void WriteList(Form1& form, const std::string& path) {
    std::vector<std::string> entries;
    entries.reserve(std::size_t(form.List1.count()));
    for (int i = 0; i < form.List1.count(); ++i) entries.push_back(form.List1.item(i));
    form.platform.files.replaceWith(path, CfgFileText(entries, form.platform.env.nowText()));
    form.dialogs.message(kSaved);
}
}  // namespace

void Form1::FOpen_Click() {
    const auto chosen = dialogs.openFileName(platform.env.documentsFolder(), kOpenFilter);
    if (!chosen || chosen->empty()) return;  // cancelled: the list stays as it was
    List1.clear();
    CfgFileName = *chosen;
    CfgLabel.setCaption(FileLabel(CfgFileName));
    try {
        const auto in = platform.files.openRead(CfgFileName);
        std::string line;
        while (ReadCfgLine(*in, line)) {
            try {
                if (const auto entry = ParseCfgFields(CfgLineFields(line))) List1.addItem(*entry);
            } catch (const std::exception& e) {
                dialogs.message(kLineError + std::string(e.what()));
            }
            pump.doEvents();
        }
    } catch (const std::exception& e) {
        dialogs.message(kOpenError + std::string(e.what()));
    }
}

void Form1::FSave_Click() {
    try {
        if (CfgFileName.empty()) {
            dialogs.message(kNoFileName);
            return;
        }
        if (MayWrite(*this, CfgFileName)) WriteList(*this, CfgFileName);
    } catch (const std::exception& e) {
        dialogs.message(kSaveError + std::string(e.what()));
    }
}

void Form1::SaveAs_Click() {
    try {
        const auto chosen = dialogs.saveFileName(platform.env.documentsFolder(), kSaveFilter);
        if (!chosen) return;
        if (chosen->empty()) {
            dialogs.message(kNoFileName);
            return;
        }
        const bool write = MayWrite(*this, *chosen);
        CfgFileName = *chosen;  // after No, the next Save targets this name and asks again
        if (write) WriteList(*this, CfgFileName);
    } catch (const std::exception& e) {
        dialogs.message(kSaveError + std::string(e.what()));
    }
}

}  // namespace k7
