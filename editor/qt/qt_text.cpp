#include "editor/qt/qt_text.h"

#include <QStringList>

#include "base/cp1252.h"

namespace torvic::qt {

QString fromCp1252(const std::string& text) {
    QString s;
    s.reserve(static_cast<qsizetype>(text.size()));
    for (char c : text) s.append(QChar(static_cast<char16_t>(cp1252::toUnicode(static_cast<unsigned char>(c)))));
    return s;
}

std::string toCp1252(const QString& text) {
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        int b = cp1252::fromUnicode(ch.unicode());
        s += b < 0 ? '?' : static_cast<char>(b);
    }
    return s;
}

QString messageText(const std::string& text) {
    QString s = fromCp1252(text);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

}  // namespace torvic::qt
