#pragma once
// A .cfg file as the command line takes it: strictly, since a script that sends the
// wrong file would overwrite a keyboard. Every line is blank, a comment or an entry;
// every entry names a key once and holds a string the key can send.
#include <string>
#include <vector>

#include "cfgfile/cfg_file.h"
#include "platform/files.h"

namespace k7 {

struct ListFile {
    std::vector<KeyString> entries;
    std::vector<std::string> errors;  // "line N: why" for every line that cannot be used, in file order
};

ListFile checkListFile(const CfgContent& content);

// Reads and checks the file ("-": standard input); each error then begins with the
// file's name.
ListFile loadListFile(FileStore& files, const std::string& path);

}  // namespace k7
