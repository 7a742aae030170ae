// The settings file: whatever it held, a value written reads back (cut to 1023
// characters), another section's value stays, and writing it again changes no byte.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/ini_file.h"

namespace {
struct TempFile {  // in a folder of its own, which goes when the run ends
    std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "k7fuzz-ini-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    std::string path = folder + "/KORVEN7.ini";
    ~TempFile() { std::filesystem::remove_all(folder); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TempFile temp;
    const std::string& file = temp.path;
    // File content, NUL, section, NUL, key, NUL, value: names of letters and digits, a value
    // of one line without blanks around it or a leading quote.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t a = input.find('\0'), b = input.find('\0', a + 1), c = input.find('\0', b + 1);
    if (c == std::string::npos) return 0;
    const std::string section = input.substr(a + 1, b - a - 1), key = input.substr(b + 1, c - b - 1),
                      value = input.substr(c + 1);
    const auto name = [](const std::string& s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char ch) { return std::isalnum(ch) != 0; });
    };
    const auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
    if (!name(section) || !name(key) || value.find_first_of("\r\n") != std::string::npos) return 0;
    if (!value.empty() && (blank(value[0]) || blank(value.back()) || value[0] == '"')) return 0;

    const auto content = [&] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::ofstream(file, std::ios::binary | std::ios::trunc) << input.substr(0, a);
    const std::string other = k7::readIniValue(file, section + "X", key, "<none>");
    k7::writeIniValue(file, section, key, value);
    if (k7::readIniValue(file, section, key, "<none>") != value.substr(0, 1023)) std::abort();
    if (k7::readIniValue(file, section + "X", key, "<none>") != other) std::abort();
    const std::string written = content();
    k7::writeIniValue(file, section, key, value);
    if (content() != written) std::abort();
    return 0;
}
