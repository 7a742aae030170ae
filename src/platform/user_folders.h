#pragma once
// Where the help pages, pictures and settings file live and where file dialogs start.
// An installed program (<prefix>/bin, its data in <prefix>/share/korven7-config) keeps
// the settings in the user's configuration folder and starts file dialogs in the home
// folder. A program run from any other folder finds its data beside itself, and keeps
// everything there when it can write the folder; when it cannot, it uses the user's
// folders as an installed one does. The user's settings file starts as a copy of the
// one in the data folder when one lies there.
#include <functional>
#include <string>

namespace k7 {

struct UserFolders {
    std::string settingsFile;
    std::string documentsFolder;
    std::string dataFolder;
    std::string historyFolder;  // $XDG_DATA_HOME/korven7-config/history, ~/.local/share by default
};

// `getenv` reads XDG_CONFIG_HOME, XDG_DATA_HOME and HOME; `writable` tells whether a folder can be written.
// Without `prepare` nothing is made or copied: a user's settings file that does not exist
// yet is read from the data folder's copy (korven7, which never writes settings).
UserFolders ResolveUserFolders(const std::string& programFolder,
                               const std::function<std::string(const char*)>& getenv,
                               const std::function<bool(const std::string&)>& writable, bool prepare = true);

// The real environment and access(2).
UserFolders ResolveUserFolders(const std::string& programFolder, bool prepare = true);

}  // namespace k7
