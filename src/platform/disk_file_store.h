#pragma once
#include "platform/platform.h"

namespace k7 {

// Files on disk. A replace writes "<name>.tmp-XXXXXX" beside the target, flushes it to
// the disk and renames it over the target only when it is complete.
class DiskFileStore : public FileStore {
public:
    bool exists(const std::string& path) const override;
    std::unique_ptr<std::istream> openRead(const std::string& path) override;
    void replaceWith(const std::string& path, const std::string& content) override;
};

}  // namespace k7
