#pragma once
// Text handed over by drag and drop (OLE): a data object that offers a text
// as CF_UNICODETEXT and CF_TEXT, a drop source that goes on while the left
// button is held (Esc gives up), and the text a dropped data object holds.
#include <windows.h>
#include <ole2.h>

#include <optional>
#include <string>

namespace torvic::win32 {

// Each is made with one reference, the caller's.
IDataObject* newTextData(std::wstring text);
IDropSource* newDropSource();
// Whether the data object offers text, and the text (CF_UNICODETEXT, else
// CF_TEXT in the system's code page), up to its first NUL.
bool offersText(IDataObject* data);
std::optional<std::wstring> textOf(IDataObject* data);

}  // namespace torvic::win32
