#include "cli/list_file.h"

#include <map>

namespace k7 {

ListFile checkListFile(const CfgContent& content) {
    std::map<int, std::string> errors;  // by line: the first one is reported
    for (std::size_t i = 0; i < content.notLoaded.size(); ++i)
        errors.emplace(content.notLoadedLines[i], content.notLoaded[i]);
    ListFile file;
    if (!errors.empty()) file.error = errors.begin()->second;
    else if (content.readError) file.error = "cannot be read (" + *content.readError + ")";
    else file.entries = content.entries;
    return file;
}

ListFile loadListFile(FileStore& files, const std::string& path) {
    ListFile file;
    try {
        file = checkListFile(readCfgFile(*files.openRead(path)));
    } catch (const std::exception& e) {
        file.error = std::string("cannot be opened (") + e.what() + ")";
    }
    if (!file.error.empty()) file.error = path + ": " + file.error;
    return file;
}

}  // namespace k7
