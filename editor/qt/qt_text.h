#pragma once
// Conversions between the program's code page 1252 texts and QString. The
// fonts and the forms' geometry are in base/qt/form_qt.h.
#include <QString>
#include <string>

#include "base/qt/form_qt.h"

namespace torvic::qt {

QString fromCp1252(const std::string& text);
std::string toCp1252(const QString& text);

// A message text for a box: CR LF, or a lone CR or LF, becomes a new line.
QString messageText(const std::string& text);

// Editor text (CR LF line breaks) to the widget's lines and back. A lone CR
// or LF inside a line stays a character of that line, shown as a visible
// mark (U+240D, U+240A) and written back as it was. In 1252, each character
// it cannot hold comes back as one '?'; in UTF-8, every character is kept.
QString toEditor(const std::string& text);
std::string fromEditor(const QString& text);
QString toEditorUtf8(const std::string& utf8);
std::string fromEditorUtf8(const QString& text);

// Whether a character of the widget's text is one code page 1252 cannot
// hold (the line-break marks are not).
bool isOutside1252(char32_t u);

}  // namespace torvic::qt
