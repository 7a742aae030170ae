#pragma once
// The notation of a key's output string: printable characters stand for themselves,
// any byte can be written as hexadecimal digits in braces, as in {C7}. A "{" always
// opens a group; a "}" outside a group is a plain character. Strings are bytes: one
// char is one byte, 0-255.
#include <functional>
#include <string>

namespace k7 {

// `value` in upper-case hexadecimal digits, at least `minDigits` of them ("7B", "6", "0C").
std::string hexText(unsigned value, int minDigits = 1);

// The value of one hexadecimal digit of either case; -1 for any other character.
int hexDigitValue(char c);

// Decodes notation into bytes. Characters outside braces are copied; each closed group
// gives the byte its digits (either case) name; a group still open at the end is
// dropped. The result may be longer than a key's slot.
// Throws RuntimeError for a group with no digits or a character that is not a
// hexadecimal digit (kTypeMismatch), and for a group above 255 (kOverflow).
std::string notationToBytes(const std::string& text);

// What keeps the text from naming its bytes exactly, in words, e.g. "{ZZ}" is not a
// byte; "" when nothing does. Stricter than notationToBytes: a group still open at the
// end counts too.
std::string notationFault(const std::string& text);

// Writes bytes as notation: control characters, bytes from 0x7F up and the "{" itself
// become two-digit groups ({0D}, {F1}, {7B}); everything else stays as it is.
// notationToBytes(bytesToNotation(b)) == b for every b.
std::string bytesToNotation(const std::string& bytes);

// A command for the status log: the first two characters (the command letters) as they
// are, then slashes, digits, "@", letters and "[\]^_`" as they are and every other byte
// as a group without leading zeros ({6}, {C8}). With forceHex every byte after the
// command letters becomes a group.
std::string commandForLog(const std::string& command, bool forceHex = false);

// A reply for the status log: the first n units stay as written; from then on groups
// that stand for the printable characters 0x21-0x7E are shown as those characters.
// A group still open at the end is dropped. afterEachChar, when set, runs after every
// character of s. Throws RuntimeError (kTypeMismatch) when a group past the first n
// units does not hold a hexadecimal number.
std::string replyForLog(const std::string& reply, int n, const std::function<void()>& afterEachChar = {});


}  // namespace k7
