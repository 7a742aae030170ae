#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "device/frames.h"
#include "keystrings/key_capture.h"
#include "keystrings/key_string_list.h"
#include "keystrings/keyboard_layout.h"
#include "keystrings/notation.h"
#include "keystrings/string_field_check.h"
#include "platform/runtime_error.h"

namespace k7 {
namespace {

TEST(Notation, WritesGroupsForUnprintableBytesAndEveryStringWithoutNulDecodesBack) {
    // Short strings rich in the characters the notation itself uses, so they meet often.
    std::mt19937 random(20261206);
    const std::string notationChars = "{}0123456789ABCDEFabcdef\r\t\x7f\x80\xff";
    for (int n = 0; n < 50000; ++n) {
        std::string bytes(random() % 11, '\0');
        for (char& c : bytes) c = random() % 2 ? notationChars[random() % notationChars.size()] : char(1 + random() % 255);
        ASSERT_EQ(notationToBytes(bytesToNotation(bytes)), bytes) << bytesToNotation(bytes);
    }
    EXPECT_EQ(bytesToNotation("\rA{}\x1F \x7E\x7F\xF1"), "{0D}A{7B}}{1F} ~{7F}{F1}");
}

TEST(Notation, DecodesEitherCaseAndRefusesBadGroups) {
    const std::pair<const char*, std::string> good[] = {
        {"{c7}{C7}{fF}", "\xC7\xC7\xFF"}, {"}", "}"}, {"A{4", "A"}, {"{7}x", "\x07x"},
        {"{00}", std::string(1, '\0')}, {"{0000FF}", "\xFF"}};
    for (const auto& [text, bytes] : good) EXPECT_EQ(notationToBytes(text), bytes) << text;
    const std::pair<const char*, const char*> bad[] = {
        {"A{}", kTypeMismatch}, {"{G1}", kTypeMismatch}, {"{1,}", kTypeMismatch}, {"{{41}", kTypeMismatch},
        {"{100}", kOverflow},   {"{10000000041}", kOverflow}};
    for (const auto& [text, description] : bad) {
        try {
            ADD_FAILURE() << text << " was accepted as " << notationToBytes(text);
        } catch (const RuntimeError& e) {
            EXPECT_STREQ(e.what(), description) << text;
        }
    }
}

TEST(Notation, ShowsCommandsAndRepliesForTheLog) {
    EXPECT_EQ(commandForLog(eraseFrame()), "/E{9}{AA}U{AA}U{0}{7B}");
    EXPECT_EQ(commandForLog(readBackFrame(0x41)), "/R{6}A{0}{C8}");
    EXPECT_EQ(commandForLog("/W\t.:?/09@Zaz[`{ ~"), "/W{9}{2E}{3A}{3F}/09@Zaz[`{7B}{20}{7E}");
    EXPECT_EQ(commandForLog("/WAb1", true), "/W{41}{62}{31}");
    // The first n units stay as written; then printable groups show as their characters.
    EXPECT_EQ(replyForLog("SCAN: 04 = {61}{00}{20}{7F}{0D}{21}{7E}{41}{0D}{4", 8),
              "SCAN: 04 = a{00}{20}{7F}{0D}!~A{0D}");
    EXPECT_EQ(replyForLog("{41}{42}x{43}{44}", 3), "{41}{42}xCD");
    EXPECT_EQ(replyForLog("{}{G1}", 2), "{}{G1}");
    for (const char* bad : {"1{G1}", "1{}"}) EXPECT_THROW(replyForLog(bad, 1), RuntimeError) << bad;
    int calls = 0;
    replyForLog("a{41}", 0, [&] { ++calls; });
    EXPECT_EQ(calls, 5);
}

std::vector<std::string> Legends(std::initializer_list<int> keyCodes) {
    KeyCapture capture;
    std::vector<std::string> legends;
    for (int k : keyCodes) legends.push_back(capture.legendOf(k));
    return legends;
}

TEST(KeyTable, HoldsTheDefaultStringsAndEveryLegendCanBeTypedAndFound) {
    const KeyTable table = defaultKeyTable();
    const struct { int row; const char* legend; std::string output; } rows[] = {
        {0, "A", "a"},       {25, "Z", "z"},        {26, "1", "1"},       {35, "0", "0"},
        {36, "ENTER", "\r"}, {45, "\\", "\\"},     {46, "NONUS#", ""},   {53, "CAPSLK", ""}, {54, "F1", "\xF1"},
        {79, "NUMLK", ""},
        {63, "F10", "\xFA"}, {68, "PAUSE", "\xFF"}, {94, "KPins", "\xD0"}, {95, "KPdel", "\xDE"}};
    for (const auto& r : rows)
        EXPECT_EQ(std::to_string(table[r.row].scancode) + table[r.row].legend + "|" + table[r.row].output,
                  std::to_string(r.row + 4) + r.legend + "|" + r.output);
    for (int row = kKeyRows; row < kTableRows; ++row)
        EXPECT_EQ(std::to_string(table[row].scancode) + table[row].legend + table[row].output, "0NOTUSED") << row;
    for (const char* legend : {"kpins", "a", "KPins ", "NOTUSED", "F13", ""}) EXPECT_EQ(findKeyRow(legend), -1) << legend;
    std::set<std::string> legends, typed{"NONUS#", "CAPSLK", "NUMLK"};  // these three are picked on the key map
    for (int row = 0; row < kKeyRows; ++row)
        if (legends.insert(table[row].legend).second) {
            EXPECT_EQ(findKeyRow(table[row].legend), row) << table[row].legend;
        }
    for (int k = 0; k < 0x100; ++k)  // a key pressed twice gives both of its legends
        for (const std::string& legend : Legends({k, k}))
            if (!legend.empty()) typed.insert(legend);
    EXPECT_EQ(typed, legends);
}

TEST(KeyboardLayout, PlacesEveryLegendOnceWithoutOverlapsRowByRowLeftToRight) {
    const std::vector<KeyPlace>& keys = keyboardLayout();
    std::map<std::string, int> placed;
    std::map<int, std::string> characterKeys;  // each row's one-character legends, left to right
    std::set<std::string> fixed;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const KeyPlace& k = keys[i];
        if (k.legend.empty()) fixed.insert(k.label);
        else ++placed[k.legend];
        if (k.legend.size() == 1) characterKeys[k.row] += k.legend;
        if (i > 0) {
            const KeyPlace& before = keys[i - 1];
            EXPECT_TRUE(k.row > before.row || (k.row == before.row && k.left >= before.left + before.width)) << k.label;
        }
        EXPECT_TRUE(k.left + k.width <= kLayoutWidth && k.top + k.height <= kLayoutHeight) << k.label;
        for (std::size_t j = 0; j < i; ++j) {
            const KeyPlace& o = keys[j];
            EXPECT_TRUE(k.left >= o.left + o.width || o.left >= k.left + k.width || k.top >= o.top + o.height ||
                        o.top >= k.top + k.height) << k.label << " overlaps " << o.label;
        }
    }
    const KeyTable table = defaultKeyTable();
    for (int row = 0; row < kKeyRows; ++row)
        EXPECT_EQ(placed[table[std::size_t(row)].legend], 1) << table[std::size_t(row)].legend;
    EXPECT_EQ(placed.size(), std::size_t(kKeyRows));  // no legend the key table lacks
    EXPECT_EQ(fixed, (std::set<std::string>{"Shift", "Ctrl", "Win", "Alt", "Menu"}));
    EXPECT_EQ(characterKeys, (std::map<int, std::string>{
                                 {1, "`1234567890-="}, {2, "QWERTYUIOP[]\\"}, {3, "ASDFGHJKL;'"}, {4, "ZXCVBNM,./"}}));
}

TEST(KeyCapture, NamesKeysAndPicksTheOtherCopyOfAKeyPressedAgain) {
    using L = std::vector<std::string>;
    constexpr int Insert = 0x2D, Home = 0x24, Enter = 0x0D, Tab = 0x09;
    EXPECT_EQ(Legends({'A', 'Z', '0', '9', 0x70, 0x7B, 0x7C}), (L{"A", "Z", "0", "9", "F1", "F12", ""}));
    EXPECT_EQ(Legends({Insert, Insert, Insert, Home, Insert, Insert, Home, Home}),
              (L{"KPins", "INS", "KPins", "KPhome", "KPins", "INS", "KPhome", "HOME"}));
    EXPECT_EQ(Legends({Enter, Enter, Enter}), (L{"ENTER", "KPENT", "ENTER"}));
    EXPECT_EQ(Legends({Enter, Tab, Enter}), (L{"ENTER", "TAB", "ENTER"}));
    EXPECT_EQ(Legends({0x10, 0x11, 0x14, 0x2F, 0x40, 0x5B, 0x90, 0xFF}), L(8, ""));
}

TEST(StringField, CountsUnitsAndCutsTheTextBackToWhatMayStay) {
    const struct { const char* text; int shown; bool fault; const char* corrected; bool open; } cases[] = {
        {"AB{0D}", 3, false, nullptr, false},       {"}", 1, false, nullptr, false},   {"ABC{", 3, false, nullptr, true},
        {"ABCDEFGHIJ{4", 10, false, nullptr, true}, {"ABCDEFGHIJ", 10, false, nullptr, false},
        {"{41}{42}{43}{44}{45}{46}{47}{48}{49}{4A}", 10, false, nullptr, false},
        {"ABCDEFGHIJK", 11, true, "ABCDEFGHIJ", false}, {"123456789{41}{42}", 11, true, "123456789{41}", false},
        {"ABCDEFGHIJ{41}", 11, true, "ABCDEFGHIJ", false}, {"{}", -1, true, "{", true}, {"{0}", -1, true, "{", true},
        {"{41}{00}", -1, true, "{41}{", true}, {"{0G", -1, true, "{", true}, {"{ABC", -1, true, "{", true},
        {"X{c7}", -1, true, "X{", true}};
    for (const auto& c : cases) {
        const StringFieldCheck check = checkStringField(c.text);
        EXPECT_EQ(check.shownCount.value_or(-1), c.shown) << c.text;
        EXPECT_EQ(!check.message.empty(), c.fault) << c.text;
        EXPECT_EQ(check.corrected.value_or("<none>"), c.corrected ? c.corrected : "<none>") << c.text;
        EXPECT_EQ(check.groupOpen, c.open) << c.text;
    }
}

TEST(KeyStringList, AddsOneEntryPerKeyAndReportsEveryChange) {
    using R = KeyStringList::AddResult;
    KeyStringList list;
    std::vector<std::pair<int, bool>> changes;
    list.onChanged = [&](int index, bool added) { changes.emplace_back(index, added); };
    const std::vector<R> results{list.add({"A", "x"}), list.add({"B", "y"}), list.add({"", "z"}), list.add({"A", "w"})};
    EXPECT_EQ(results, (std::vector<R>{R::Added, R::Added, R::NoKey, R::AlreadyListed}));
    list.remove(0);
    EXPECT_EQ(list.entries(), (std::vector<KeyString>{{"B", "y"}}));
    list.replace({{"C", "1"}, {"C", "2"}});
    EXPECT_EQ(list.size(), 2);
    list.clear();
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{{0, true}, {1, true}, {0, false}, {-1, false}, {-1, false}}));
}

TEST(KeyStringList, KeyTableLaysTheEntriesOverTheDefaults) {
    KeyStringList list;
    list.replace({{"A", "Hi{0D}"}, {"nokey", "x"}, {"F1", "first"}, {"F1", "{7B}"}, {"KPdel", "{01}"}});
    const KeyTable table = list.keyTable(), defaults = defaultKeyTable();
    for (int row = 0; row < kTableRows; ++row) {
        const std::string expected = row == 0 ? "Hi\r" : row == 54 ? "{" : row == 95 ? "\x01" : defaults[row].output;
        EXPECT_EQ(table[row].output + table[row].legend, expected + defaults[row].legend) << row;
    }
    list.replace({{"A", "ok"}, {"B", "{G1}"}});
    EXPECT_THROW(list.keyTable(), RuntimeError);
}

}  // namespace
}  // namespace k7
