#include "cli/list_file.h"

#include <map>

#include "keystrings/notation.h"

namespace k7 {

ListFile checkListFile(const CfgContent& content) {
    std::map<int, std::string> errors;  // by line
    for (std::size_t i = 0; i < content.notLoaded.size(); ++i)
        errors.emplace(content.notLoadedLines[i], content.notLoaded[i]);
    for (std::size_t i = 0; i < content.entries.size(); ++i) {
        const KeyString& entry = content.entries[i];
        const std::string key = "\"" + entry.legend + "\"";
        std::string why = notationFault(entry.notation);
        if (why.empty()) {
            const std::string bytes = notationToBytes(entry.notation);
            if (bytes.size() > 10) why = "it is longer than 10 bytes";
            else if (bytes.find('\0') != std::string::npos) why = "it holds {00}, which no key can send";
        }
        if (!why.empty())
            errors.emplace(content.entryLines[i], "line " + std::to_string(content.entryLines[i]) + ": the string of " + key + ": " + why);
    }
    ListFile file;
    for (auto& [line, error] : errors) file.errors.push_back(std::move(error));
    if (content.readError) file.errors.push_back("cannot be read (" + *content.readError + ")");
    if (file.errors.empty()) file.entries = content.entries;
    return file;
}

ListFile loadListFile(FileStore& files, const std::string& path) {
    const bool standardInput = path == "-";
    ListFile file;
    try {
        // Standard input is opened by its name, so that it passes the same checks as a file.
        file = checkListFile(readCfgFile(*files.openRead(standardInput ? "/dev/stdin" : path)));
    } catch (const std::exception& e) {
        file.errors = {std::string("cannot be opened (") + e.what() + ")"};
    }
    for (std::string& error : file.errors) error = (standardInput ? "standard input" : path) + ": " + error;
    return file;
}

}  // namespace k7
