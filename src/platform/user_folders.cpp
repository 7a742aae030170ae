#include "platform/user_folders.h"

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace fs = std::filesystem;

namespace k7 {

UserFolders ResolveUserFolders(const std::string& programFolder,
                               const std::function<std::string(const char*)>& getenv,
                               const std::function<bool(const std::string&)>& writable, bool prepare) {
    const std::string settingsName = "KORVEN7.ini";
    const fs::path program(programFolder);
    const fs::path shared = program.parent_path() / "share" / "korven7-config";
    std::error_code ec;
    const bool installed = program.filename() == "bin" && fs::is_directory(shared, ec);
    const std::string data = installed ? shared.string() : programFolder;
    const std::string home = getenv("HOME");
    std::string userData = getenv("XDG_DATA_HOME");
    if (userData.empty() || userData.front() != '/') userData = home + "/.local/share";
    const std::string history = userData + "/korven7-config/history";
    if (!installed && writable(programFolder)) return {programFolder + "/" + settingsName, programFolder, data, history};

    std::string config = getenv("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') config = home + "/.config";
    const fs::path folder = fs::path(config) / "korven7-config";
    const fs::path settings = folder / settingsName;
    const fs::path shipped = fs::path(data) / settingsName;
    const bool copyShipped = !fs::exists(settings, ec) && fs::is_regular_file(shipped, ec);
    if (!prepare) return {(copyShipped ? shipped : settings).string(), home.empty() ? programFolder : home, data, history};
    fs::create_directories(folder, ec);
    if (copyShipped) fs::copy_file(shipped, settings, ec);  // on failure the defaults apply
    return {settings.string(), home.empty() ? programFolder : home, data, history};
}

UserFolders ResolveUserFolders(const std::string& programFolder, bool prepare) {
    return ResolveUserFolders(
        programFolder,
        [](const char* name) {
            const char* value = std::getenv(name);
            return std::string(value ? value : "");
        },
        [](const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; }, prepare);
}

}  // namespace k7
