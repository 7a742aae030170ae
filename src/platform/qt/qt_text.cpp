#include "platform/qt/qt_text.h"

namespace k7::qt {

QString ToQ(const std::string& bytes) { return QString::fromLatin1(bytes.data(), qsizetype(bytes.size())); }

std::string FromQ(const QString& text) {
    const QByteArray latin = text.toLatin1();
    return std::string(latin.constData(), std::size_t(latin.size()));
}

}  // namespace k7::qt
