#pragma once
// The baud rates and parities the program offers, each with its caption: the settings
// dialog lists them, the settings file and the command line take their values, and a
// search for the KORVEN7 tries the rates.
#include <string>

namespace k7 {

struct BaudChoice {
    int baud;
    const char* caption;
};
inline constexpr BaudChoice kBaudChoices[] = {{1200, "1200"},    {4800, "4800"},    {9600, "9600"},
                                              {19200, "19.2k"}, {38400, "38.4k"}, {57600, "57.6k"}};

struct ParityChoice {
    char letter;  // as the settings file and --parity write it
    const char* caption;
};
inline constexpr ParityChoice kParityChoices[] = {{'N', "NONE"}, {'E', "EVEN"}, {'O', "ODD"}};

// "NONE", "EVEN" or "ODD"; "" for the parities without a caption (M, S).
inline std::string parityCaption(char parity) {
    for (const ParityChoice& choice : kParityChoices)
        if (choice.letter == parity) return choice.caption;
    return "";
}

}  // namespace k7
