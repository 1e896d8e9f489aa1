#pragma once
// Text handed over by drag and drop (OLE): a data object that offers a text
// as CF_UNICODETEXT and CF_TEXT, a drop source that goes on while the left
// button is held (Esc gives up), and the text a dropped data object holds.
#include <windows.h>
#include <ole2.h>

#include <optional>
#include <string>

namespace torvic::win32 {

// A small COM object's counting, and its one interface besides IUnknown.
template <class Interface>
class Counted : public Interface {
public:
    virtual ~Counted() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, __uuidof(Interface))) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    LONG references_ = 1;
};

// Each is made with one reference, the caller's.
IDataObject* newTextData(std::wstring text);
IDropSource* newDropSource();
// Whether the data object offers text, and the text (CF_UNICODETEXT, else
// CF_TEXT in the system's code page), up to its first NUL.
bool offersText(IDataObject* data);
std::optional<std::wstring> textOf(IDataObject* data);

}  // namespace torvic::win32
