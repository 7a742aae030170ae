// The .cfg text itself: what the writer puts out and how the reader splits lines.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

#include "cfgfile/cfg_format.h"
#include "platform/runtime_error.h"

namespace k7 {
namespace {

using Fields = std::vector<std::string>;

TEST(CfgWriter, HeaderThenNumberedEntriesWithCrLf) {
    const std::string text = CfgFileText({"A\tHello{0D}", "\tno legend", "F1\t", "KPhome\tx\ty"}, "12/6/2026 7:30:00 AM");
    EXPECT_EQ(text,
              "#Quimbrell KORVEN7 configuration file\r\n"
              "#File written 12/6/2026 7:30:00 AM\r\n"
              "\r\n"
              "001\tA\tHello{0D}\r\n"
              "003\tF1\t\r\n"
              "004\tKPhome\tx\ty\r\n");
}

TEST(CfgWriter, NumbersKeepAtLeastThreeDigits) {
    const std::vector<std::string> entries(1000, "A\tb");
    const std::string text = CfgFileText(entries, "now");
    EXPECT_NE(text.find("\r\n009\tA\tb\r\n010\tA\tb\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n999\tA\tb\r\n1000\tA\tb\r\n"), std::string::npos);
}

TEST(CfgReader, LinesEndAtLfWithOrWithoutCr) {
    std::istringstream in("one\r\ntwo\nthree\r\r\nin\rside\r\n\nlast");
    std::vector<std::string> lines;
    for (std::string line; ReadCfgLine(in, line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three\r", "in\rside", "", "last"}));
}

// A stream that breaks down after its first bytes, like a file on a failing disk.
class BrokenBuf : public std::streambuf {
    std::string data_ = "001\tA\tx\r\n002\tB";
    bool served_ = false;
    int_type underflow() override {
        if (served_) throw std::ios_base::failure("disk gone");
        served_ = true;
        setg(data_.data(), data_.data(), data_.data() + data_.size());
        return traits_type::to_int_type(data_[0]);
    }
};

TEST(CfgReader, AStreamThatFailsRaisesAnError) {
    BrokenBuf buf;
    std::istream in(&buf);
    std::string line;
    ASSERT_TRUE(ReadCfgLine(in, line));
    EXPECT_EQ(line, "001\tA\tx");
    EXPECT_THROW(ReadCfgLine(in, line), RuntimeError);
}

TEST(CfgReader, LinesSplitAfterBlanksAreStripped) {
    const struct { std::string line; Fields fields; } cases[] = {
        {"001\tA\tx", {"001", "A", "x"}},         {"   005\tF1\tab  ", {"005", "F1", "ab"}},
        {"001\t A \t b ", {"001", " A ", " b"}},  // inner blanks are kept
        {"\t001\tA\tx\t", {"", "001", "A", "x", ""}},  // TABs are not stripped
        {"001\tA\tx\t  ", {"001", "A", "x", ""}}, {"001", {"001"}}, {"", {}}, {"     ", {}},
        {"#Quimbrell KORVEN7 configuration file", {}}, {"  #001\tA\tx", {}}, {"\t#x", {"", "#x"}},
    };
    for (const auto& c : cases) EXPECT_EQ(CfgLineFields(c.line), c.fields) << c.line;
}

TEST(CfgReader, FieldsBecomeAnEntryOnlyWithASmallNumberAndThreeFields) {
    const std::optional<std::string> none, ax = "A\tx";
    const struct { Fields fields; std::optional<std::string> entry; } cases[] = {
        {{"001", "A", "Hello{0D}"}, "A\tHello{0D}"}, {{"100", "A", "x"}, ax}, {{"101", "A", "x"}, none},
        {{"100.4", "A", "x"}, none}, {{"1e2", "A", "x"}, ax}, {{"-32768", "A", "x"}, ax}, {{" 7 ", "A", "x"}, ax},
        {{"40000", "A", "x"}, none}, {{"abc", "A", "x"}, none}, {{"", "A", "x"}, none},
        {{"001", "A", "x", "extra"}, ax}, {{"001", "", ""}, "\t"}, {{"001", "A"}, none}, {{"-99999"}, none}, {{}, none},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCfgFields(c.fields), c.entry) << ::testing::PrintToString(c.fields);
    // A number below the 16-bit range overflows, whatever the other fields.
    for (const Fields& fields : {Fields{"-32769", "A", "x"}, Fields{"-40000", "A"}, Fields{"-1e9", "A", "x"}}) {
        try {
            ADD_FAILURE() << fields[0] << " was accepted as " << ParseCfgFields(fields).value_or("nothing");
        } catch (const RuntimeError& e) {
            EXPECT_STREQ(e.what(), kOverflow);
        }
    }
}

}  // namespace
}  // namespace k7
