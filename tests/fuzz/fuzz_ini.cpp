// The settings file: any existing content, then a write; the value written reads back,
// and every other section's values stay as they were.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/modINI.h"

namespace {

std::string Folder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "k7fuzz-ini-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    return folder;
}

// A name the file format can hold: no brackets, '=', line ends, comment marks or outer blanks.
std::string Name(const std::string& raw) {
    std::string out;
    for (char c : raw)
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.') out += c;
    return out.empty() ? "K" : out.substr(0, 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // Layout of an input: file content, NUL, section, NUL, key, NUL, value.
    std::size_t a = input.find('\0');
    if (a == std::string::npos) return 0;
    std::size_t b = input.find('\0', a + 1);
    std::size_t c = b == std::string::npos ? std::string::npos : input.find('\0', b + 1);
    if (c == std::string::npos) return 0;
    const std::string content = input.substr(0, a);
    const std::string section = Name(input.substr(a + 1, b - a - 1));
    const std::string key = Name(input.substr(b + 1, c - b - 1));
    std::string value;
    for (char ch : input.substr(c + 1))
        if (ch != '\r' && ch != '\n' && ch != '\0') value += ch;
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return 0;  // quotes are taken off

    const std::string file = Folder() + "/KORVEN7.ini";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
    const std::string otherBefore = k7::ReadINI(file, section + "X", key, "<none>");
    if (!k7::WriteINI(file, section, key, value)) std::abort();
    if (k7::ReadINI(file, section, key, "<none>") != value.substr(0, 1023)) std::abort();
    if (k7::ReadINI(file, section + "X", key, "<none>") != otherBefore) std::abort();
    return 0;
}
