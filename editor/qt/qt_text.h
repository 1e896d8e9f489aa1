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

}  // namespace torvic::qt
