#include "cli/list_file.h"

#include <map>

#include "keystrings/notation.h"

namespace k7 {

ListFile checkListFile(const CfgContent& content) {
    std::map<int, std::string> errors;  // by line: the first one is reported
    for (std::size_t i = 0; i < content.notLoaded.size(); ++i)
        errors.emplace(content.notLoadedLines[i], content.notLoaded[i]);
    for (std::size_t i = 0; i < content.entries.size(); ++i) {
        const KeyString& entry = content.entries[i];
        const std::string key = "\"" + entry.legend + "\"";
        std::string why;
        try {
            const std::string bytes = notationToBytes(entry.notation);
            if (bytes.size() > 10) why = "the string of " + key + " is longer than 10 bytes";
            else if (bytes.find('\0') != std::string::npos) why = "the string of " + key + " holds {00}, which no key can send";
        } catch (const std::exception& e) {
            why = "the string of " + key + " cannot be read (" + e.what() + ")";
        }
        if (!why.empty()) errors.emplace(content.entryLines[i], "line " + std::to_string(content.entryLines[i]) + ": " + why);
    }
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
