#pragma once
#include <string>

#include "platform/files.h"
#include "platform/user_folders.h"

namespace k7::qt {

// The program's folder and data folder, the settings file found from them, the clock.
class QtEnvironment : public Environment {
public:
    // Without `prepareUserFolder` the user's configuration folder is left as it is.
    explicit QtEnvironment(bool prepareUserFolder = true);
    std::string programFolder() const override { return folder_; }
    std::string dataFolder() const override { return folders_.dataFolder; }
    std::string settingsFileName() const override;
    std::string documentsFolder() const override;
    std::string historyFolder() const override { return folders_.historyFolder; }
    std::string nowText() const override;
private:
    std::string folder_;
    UserFolders folders_;
};

}  // namespace k7::qt
