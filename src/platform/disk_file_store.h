#pragma once
#include "platform/platform.h"

namespace k7 {

// Replaces the file at `path` (a link: the file it points to) with `content`: writes
// "<name>.tmp-XXXXXX" beside it, flushes it to the disk, keeps the old file's permissions
// and renames it over the old file only once it is complete. A failure throws
// RuntimeError with the system's description and leaves the old file as it was.
void replaceFileContent(const std::string& path, const std::string& content);

// Files on disk; a replace goes through replaceFileContent.
class DiskFileStore : public FileStore {
public:
    bool exists(const std::string& path) const override;
    std::unique_ptr<std::istream> openRead(const std::string& path) override;
    void replaceWith(const std::string& path, const std::string& content) override { replaceFileContent(path, content); }
};

}  // namespace k7
