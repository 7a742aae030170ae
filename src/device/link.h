#pragma once
// Timing rules of the serial link, shared by the device operations.
#include <string>

namespace k7 {

// The baud setting as a number; throws RuntimeError for a text that is not one.
int BaudRate(const std::string& baudSetting);

// Milliseconds the line needs for `chars` characters of 12 bits each at `baud`,
// rounded to the nearest whole number (halves to even), at least 25.
int LineWaitMs(int chars, int baud);

// How long GetACK lets the line settle before it reads: 40 ms from 9600 baud up, else 90.
int SettleMs(int baud);

}  // namespace k7
