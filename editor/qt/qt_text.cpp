#include "editor/qt/qt_text.h"

#include <QStringList>

#include "base/cp1252.h"

namespace torvic::qt {

constexpr char16_t kCrMark = 0x240D;
constexpr char16_t kLfMark = 0x240A;

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

std::u32string charactersOutsideCp1252(const QString& text) {
    std::u32string out;
    for (char32_t u : text.toUcs4()) {
        if (u == kCrMark || u == kLfMark || cp1252::fromUnicode(u) >= 0) continue;
        if (out.find(u) == std::u32string::npos) out += u;
    }
    return out;
}

QString messageText(const std::string& text) {
    QString s = fromCp1252(text);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

QString toEditor(const std::string& text) {
    QString s;
    s.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            s.append(QChar('\n'));
            ++i;
        } else if (c == '\r') {
            s.append(QChar(kCrMark));
        } else if (c == '\n') {
            s.append(QChar(kLfMark));
        } else {
            s.append(QChar(static_cast<char16_t>(cp1252::toUnicode(static_cast<unsigned char>(c)))));
        }
    }
    return s;
}

std::string fromEditor(const QString& text) {
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()) + 64);
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u == '\n' || u == QChar::ParagraphSeparator) {
            s += "\r\n";
        } else if (u == kCrMark) {
            s += '\r';
        } else if (u == kLfMark) {
            s += '\n';
        } else {
            int b = cp1252::fromUnicode(u);
            s += b < 0 ? '?' : static_cast<char>(b);
        }
    }
    return s;
}

}  // namespace torvic::qt
