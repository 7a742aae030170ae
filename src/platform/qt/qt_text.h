#pragma once
// Texts between the program and Qt cross as Latin-1, so one character is one byte both ways.
#include <QString>
#include <string>

namespace k7::qt {

QString ToQ(const std::string& bytes);
std::string FromQ(const QString& text);

}  // namespace k7::qt
