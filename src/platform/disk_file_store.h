#pragma once
#include "platform/files.h"

namespace k7 {

// Replaces the file at `path` (a link: the file it points to) with `content`: writes
// "<name>.tmp-XXXXXX" beside it, flushes it to the disk, keeps the old file's permissions
// and renames it over the old file only once it is complete. A file without any write
// permission is left alone. Where no temporary file can be made beside an existing file
// (a folder the user cannot write), the file is written in place once the space for the
// new content is reserved, and the old content is put back when writing fails.
// A failure throws RuntimeError with the system's description and says when the old
// content could not be kept.
void replaceFileContent(const std::string& path, const std::string& content);

// Throws RuntimeError, as replaceFileContent would, when the file cannot be written;
// writes nothing.
void checkReplaceable(const std::string& path);

// Files on disk; a replace goes through replaceFileContent.
class DiskFileStore : public FileStore {
public:
    bool exists(const std::string& path) const override;
    std::unique_ptr<std::istream> openRead(const std::string& path) override;
    void replaceWith(const std::string& path, const std::string& content) override { replaceFileContent(path, content); }
    bool isFolder(const std::string& path) const override;
    std::vector<std::string> fileNames(const std::string& folder) const override;
    void createFolder(const std::string& folder) override;
    void remove(const std::string& path) override;
    void checkWritable(const std::string& path) const override { checkReplaceable(path); }
};

}  // namespace k7
