#pragma once
// Files, the program's folders and its clock.
#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace k7 {

class FileStore {
public:
    virtual ~FileStore() = default;
    virtual bool exists(const std::string& path) const = 0;
    // Opens the file for reading; throws RuntimeError when it cannot.
    virtual std::unique_ptr<std::istream> openRead(const std::string& path) = 0;
    // Writes the content to a temporary file beside path and puts it in place only once
    // it is complete; a failure throws RuntimeError and leaves any old file untouched.
    virtual void replaceWith(const std::string& path, const std::string& content) = 0;
    virtual bool isFolder(const std::string& path) const = 0;
    // The names of the plain files in `folder`, without the folder; none when it does not exist.
    virtual std::vector<std::string> fileNames(const std::string& folder) const = 0;
    // Creates the folder and the folders above it; throws RuntimeError when it cannot.
    virtual void createFolder(const std::string& folder) = 0;
    virtual void remove(const std::string& path) = 0;  // throws RuntimeError when it cannot
    // Throws RuntimeError when replaceWith could not write the file; writes nothing.
    virtual void checkWritable(const std::string& path) const = 0;
};

class Environment {
public:
    virtual ~Environment() = default;
    virtual std::string programFolder() const = 0;  // no trailing separator
    // Where the help pages and pictures lie: the program folder, or the shared data
    // folder of an installed program.
    virtual std::string dataFolder() const { return programFolder(); }
    // Where the settings file lives and the file dialogs start: the program folder, or
    // the user's folders when the program folder cannot be written.
    virtual std::string settingsFileName() const = 0;
    virtual std::string documentsFolder() const = 0;
    // Where the keyboard's history lies: korven7-config/history in the user's data folder.
    virtual std::string historyFolder() const = 0;
    virtual std::string nowText() const = 0;  // local date and time, system format
};

}  // namespace k7
