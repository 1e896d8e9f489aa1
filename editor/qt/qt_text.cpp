#include "editor/qt/qt_text.h"

#include <QStringList>

#include "base/cp1252.h"
#include "base/text_encoding.h"

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

bool isOutside1252(char32_t u) { return u != kCrMark && u != kLfMark && cp1252::fromUnicode(u) < 0; }

QString messageText(const std::string& text) {
    QString s = fromCp1252(text);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

QString toEditor(const std::string& text) { return toEditorUtf8(cp1252::toUtf8(text)); }

std::string fromEditor(const QString& text) { return utf8To1252(fromEditorUtf8(text)); }

QString toEditorUtf8(const std::string& utf8) {
    const QString in = QString::fromUtf8(utf8);
    QString s;
    s.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const QChar c = in[i];
        if (c == u'\r' && i + 1 < in.size() && in[i + 1] == u'\n') {
            s.append(QChar(u'\n'));
            ++i;
        } else if (c == u'\r') {
            s.append(QChar(kCrMark));
        } else if (c == u'\n') {
            s.append(QChar(kLfMark));
        } else {
            s.append(c);
        }
    }
    return s;
}

std::string fromEditorUtf8(const QString& text) {
    QString s;
    s.reserve(text.size() + 64);
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u'\n' || u == QChar::ParagraphSeparator)
            s.append(u"\r\n");
        else if (u == kCrMark)
            s.append(QChar(u'\r'));
        else if (u == kLfMark)
            s.append(QChar(u'\n'));
        else
            s.append(ch);
    }
    return s.toStdString();
}

}  // namespace torvic::qt
