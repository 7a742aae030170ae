#include "qt/qt_environment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

#include "qt/qt_text.h"

namespace k7::qt {

QtEnvironment::QtEnvironment(bool prepareUserFolder)
    : folder_(PathFromQ(QCoreApplication::applicationDirPath())), folders_(ResolveUserFolders(folder_, prepareUserFolder)) {}

std::string QtEnvironment::settingsFileName() const { return folders_.settingsFile; }

std::string QtEnvironment::documentsFolder() const { return folders_.documentsFolder; }

std::string QtEnvironment::nowText() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    return FromQ(locale.toString(now.date(), QLocale::ShortFormat) + " " +
                 locale.toString(now.time(), QLocale::LongFormat));
}

}  // namespace k7::qt
