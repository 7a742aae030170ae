#pragma once
// Texts between the program and Qt cross as Latin-1, so one character is one byte both
// ways; file names and paths cross as UTF-8.
#include <QString>
#include <string>

namespace k7::qt {

QString ToQ(const std::string& bytes);
std::string FromQ(const QString& text);
QString PathToQ(const std::string& path);
std::string PathFromQ(const QString& path);

}  // namespace k7::qt
