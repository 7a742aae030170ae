#pragma once
// SHA-256 of a byte string, as 64 lowercase hex digits: the record names the file a
// keyboard was programmed from by it.
#include <string>

namespace k7 {

std::string sha256Hex(const std::string& bytes);

}  // namespace k7
