#include "editor/win32/text_drag_win32.h"

#include <shlobj.h>

#include <cstring>

namespace torvic::win32 {
namespace {

HGLOBAL globalCopy(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    std::memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    return memory;
}

class TextData : public Counted<IDataObject> {
public:
    explicit TextData(std::wstring text) : text_(std::move(text)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        const HRESULT offered = QueryGetData(format);
        if (offered != S_OK) return offered;
        HGLOBAL memory = nullptr;
        if (format->cfFormat == CF_UNICODETEXT) {
            memory = globalCopy(text_.c_str(), (text_.size() + 1) * sizeof(wchar_t));
        } else {  // CF_TEXT, in the system's code page
            const int n = WideCharToMultiByte(CP_ACP, 0, text_.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string bytes(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
            if (n > 0) WideCharToMultiByte(CP_ACP, 0, text_.c_str(), -1, bytes.data(), n, nullptr, nullptr);
            memory = globalCopy(bytes.data(), bytes.size());
        }
        if (!memory) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format) return E_INVALIDARG;
        if (format->cfFormat != CF_UNICODETEXT && format->cfFormat != CF_TEXT) return DV_E_FORMATETC;
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC formats[2] = {{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                                {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
        return SHCreateStdEnumFmtEtc(2, formats, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::wstring text_;
};

class DropSource : public Counted<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

FORMATETC formatOf(CLIPFORMAT format) { return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

IDataObject* newTextData(std::wstring text) { return new TextData(std::move(text)); }
IDropSource* newDropSource() { return new DropSource; }

bool offersText(IDataObject* data) {
    if (!data) return false;
    FORMATETC wide = formatOf(CF_UNICODETEXT), narrow = formatOf(CF_TEXT);
    return data->QueryGetData(&wide) == S_OK || data->QueryGetData(&narrow) == S_OK;
}

std::optional<std::wstring> textOf(IDataObject* data) {
    if (!data) return std::nullopt;
    for (CLIPFORMAT format : {CLIPFORMAT(CF_UNICODETEXT), CLIPFORMAT(CF_TEXT)}) {
        FORMATETC wanted = formatOf(format);
        STGMEDIUM medium{};
        if (data->GetData(&wanted, &medium) != S_OK) continue;
        std::optional<std::wstring> text;
        if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
            const SIZE_T size = GlobalSize(medium.hGlobal);
            if (const void* p = GlobalLock(medium.hGlobal)) {
                if (format == CF_UNICODETEXT) {
                    const auto* units = static_cast<const wchar_t*>(p);
                    const std::size_t room = size / sizeof(wchar_t);
                    std::size_t n = 0;
                    while (n < room && units[n]) ++n;
                    text.emplace(units, n);
                } else {
                    const auto* bytes = static_cast<const char*>(p);
                    int n = 0;
                    while (static_cast<SIZE_T>(n) < size && bytes[n]) ++n;
                    const int units = MultiByteToWideChar(CP_ACP, 0, bytes, n, nullptr, 0);
                    text.emplace(static_cast<std::size_t>(units), L'\0');
                    if (units > 0) MultiByteToWideChar(CP_ACP, 0, bytes, n, text->data(), units);
                }
                GlobalUnlock(medium.hGlobal);
            }
        }
        ReleaseStgMedium(&medium);
        if (text) return text;
    }
    return std::nullopt;
}

}  // namespace torvic::win32
