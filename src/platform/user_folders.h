#pragma once
// Where the settings file lives and where file dialogs start. A program run from a
// folder it can write keeps everything beside itself; an installed program (its folder
// read-only) keeps the settings in the user's configuration folder, first copied from
// the program folder when one lies there, and starts file dialogs in the home folder.
#include <functional>
#include <string>

namespace k7 {

struct UserFolders {
    std::string settingsFile;
    std::string documentsFolder;
};

// `getenv` reads XDG_CONFIG_HOME and HOME; `writable` tells whether a folder can be written.
UserFolders ResolveUserFolders(const std::string& programFolder,
                               const std::function<std::string(const char*)>& getenv,
                               const std::function<bool(const std::string&)>& writable);

// The real environment and access(2).
UserFolders ResolveUserFolders(const std::string& programFolder);

}  // namespace k7
