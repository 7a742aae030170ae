#include <gtest/gtest.h>

#include <random>

#include "keystrings/notation.h"
#include "platform/runtime_error.h"

namespace k7 {
namespace {

TEST(Notation, EveryByteStringSurvivesRenderingAndDecoding) {
    for (int b = 1; b < 256; ++b) {
        const std::string bytes(1, char(b));
        EXPECT_EQ(NotationToBytes(BytesToNotation(bytes)), bytes) << "byte " << b;
    }
    // Strings of up to ten bytes, biased towards the characters that take part in the
    // notation itself so that they meet each other often.
    std::mt19937 random(20261206);
    const std::string special = "{}0123456789ABCDEFabcdef\r\t\x7f\x80\xff";
    for (int n = 0; n < 200000; ++n) {
        std::string bytes(random() % 11, '\0');
        for (char& c : bytes)
            c = random() % 2 ? special[random() % special.size()] : char(1 + random() % 255);
        ASSERT_EQ(NotationToBytes(BytesToNotation(bytes)), bytes) << BytesToNotation(bytes);
    }
}

TEST(Notation, RendersUnprintableBytesAndTheOpeningBraceAsGroupsAndDecodesEitherCase) {
    EXPECT_EQ(BytesToNotation("\x0D" "A\xF1"), "{0D}A{F1}");
    EXPECT_EQ(BytesToNotation("a{b}"), "a{7B}b}");
    EXPECT_EQ(BytesToNotation(std::string("\x01\x1F \x7E\x7F", 5)), "{01}{1F} ~{7F}");
    const struct { const char* text; std::string bytes; } cases[] = {
        {"{c7}", "\xC7"}, {"}", "}"}, {"A{4", "A"},  // an unclosed group is lost
        {"{7}x{07}", "\x07x\x07"}, {"{00}", std::string(1, '\0')}, {"{0000FF}", "\xFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(NotationToBytes(c.text), c.bytes) << c.text;
}

TEST(Notation, DecodingRefusesBadGroups) {
    const struct { const char* text; const char* description; } cases[] = {
        {"A{}", kTypeMismatch},
        {"{G1}", kTypeMismatch},
        {"{1,}", kTypeMismatch},
        {"{{41}", kTypeMismatch},
        {"{100}", kOverflow},
        {"{FFFFFFFFFFFFFFFFFFFF}", kOverflow},
    };
    for (const auto& c : cases) {
        try {
            ADD_FAILURE() << c.text << " was accepted as " << NotationToBytes(c.text);
        } catch (const RuntimeError& e) {
            EXPECT_STREQ(e.what(), c.description) << c.text;
        }
    }
}

TEST(Notation, ExpandShowsCommandsForTheLog) {
    EXPECT_EQ(Expand("/V"), "/V");
    EXPECT_EQ(Expand("/"), "/");
    EXPECT_EQ(Expand(std::string("/R\x06" "A\x00\xC8", 6)), "/R{6}A{0}{C8}");
    EXPECT_EQ(Expand("::::"), "::{3A}{3A}");
    EXPECT_EQ(Expand("/W\t/09@Zaz[`{ ~"), "/W{9}/09@Zaz[`{7B}{20}{7E}");
    EXPECT_EQ(Expand("/WAb1", true), "/W{41}{62}{31}");
    EXPECT_EQ(ExpandW(std::string("/R\x06" "A", 4)), "/R{6}A");
}

TEST(Notation, AsciiItShowsPrintableGroupsOnlyAfterTheFirstUnits) {
    const std::string reply = "SCAN: 04 = {61}{00}{20}{7F}{0D}{21}{7E}{41}{0D}{4";
    // The first 8 units ("SCAN: 04") stay; then ten groups, the last one unclosed.
    EXPECT_EQ(ASCIIit(reply, 8), "SCAN: 04 = a{00}{20}{7F}{0D}!~A{0D}");
    EXPECT_EQ(ASCIIit("{41}{42}x{43}{44}", 3), "{41}{42}xCD");
    EXPECT_EQ(ASCIIit("{41}{42}{43}{44}{45}{46}{47}{48}{41}{0D}", 8),
              "{41}{42}{43}{44}{45}{46}{47}{48}A{0D}");
    EXPECT_EQ(ASCIIit("{}{G1}", 8), "{}{G1}");  // not read while still among the first units
    EXPECT_THROW(ASCIIit("{}", 0), RuntimeError);
    EXPECT_THROW(ASCIIit("12345678{G1}", 8), RuntimeError);

    int calls = 0;
    ASCIIit("a{41}", 0, [&] { ++calls; });
    EXPECT_EQ(calls, 5);
}

TEST(Notation, LeftpadFillsOnTheLeftUpToTheLength) {
    const struct { const char* text; int length; const char* fill; const char* padded; } cases[] = {
        {"D", 2, "0", "0D"}, {"F1", 2, "0", "F1"}, {"", 3, "0", "000"}, {"ABC", 2, "0", "ABC"},
        {"7", 4, "ab", "abab7"}, {"7", 3, "", "7"},
    };
    for (const auto& c : cases) EXPECT_EQ(leftpad(c.text, c.length, c.fill), c.padded) << c.text << c.fill;
    EXPECT_EQ(leftpad("7", 3), "  7");
}

}  // namespace
}  // namespace k7
