#include "qt/qt_text.h"

namespace k7::qt {

QString ToQ(const std::string& bytes) { return QString::fromLatin1(bytes.data(), qsizetype(bytes.size())); }

std::string FromQ(const QString& text) {
    const QByteArray latin = text.toLatin1();
    return std::string(latin.constData(), std::size_t(latin.size()));
}

QString PathToQ(const std::string& path) { return QString::fromUtf8(path.data(), qsizetype(path.size())); }

std::string PathFromQ(const QString& path) {
    const QByteArray utf8 = path.toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

}  // namespace k7::qt
