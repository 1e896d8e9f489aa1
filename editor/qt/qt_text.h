#pragma once
// Conversions between the program's code page 1252 texts and QString. The
// fonts and the forms' geometry are in base/qt/form_qt.h.
#include <QString>
#include <string>

#include "base/qt/form_qt.h"

namespace torvic::qt {

QString fromCp1252(const std::string& text);
std::string toCp1252(const QString& text);

// The characters of a text that code page 1252 has no byte for (each
// once, in order of appearance); the editor's line-break marks are not
// among them.
std::u32string charactersOutsideCp1252(const QString& text);

// A message text for a box: CR LF, or a lone CR or LF, becomes a new line.
QString messageText(const std::string& text);

// Editor text (CR LF line breaks) to the widget's lines and back. A lone CR
// or LF inside a line stays a character of that line, shown as a visible
// mark (U+240D, U+240A) and written back as it was.
QString toEditor(const std::string& text);
std::string fromEditor(const QString& text);

}  // namespace torvic::qt
