#include "editor/win32/script_box_win32.h"

#include <imm.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/win32/form_win32.h"
#include "editor/box_colours.h"
#include "editor/win32/text_drag_win32.h"
#include "engine/engine.h"
#include "platform/windows/wide_text.h"

namespace torvic::win32 {
namespace {

Rgb systemColour(int which) {
    const COLORREF c = GetSysColor(which);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}
COLORREF toColorref(Rgb c) { return RGB(c.r, c.g, c.b); }

// The box's colours from the system's: its window, text and selection
// colours, and whether a high-contrast scheme is on.
BoxColours systemBoxColours() {
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON);
    return boxColours(systemColour(COLOR_WINDOW), systemColour(COLOR_WINDOWTEXT), systemColour(COLOR_HIGHLIGHT),
                      systemColour(COLOR_HIGHLIGHTTEXT), high);
}

constexpr UINT_PTR kDragScroll = 1;  // the timer of a drag held beyond the box

LRESULT notifyParent(HWND box, WORD code) {
    return SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), code), reinterpret_cast<LPARAM>(box));
}

// A wave from x0 to x1 below the baseline, in the pen selected.
void wave(HDC dc, int x0, int x1, int y) {
    if (x1 <= x0) return;
    std::vector<POINT> points;
    for (int x = x0, up = 0; x <= x1; x += 2, up ^= 1) points.push_back({x, y + (up ? 0 : 2)});
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

HFONT variantOf(HFONT font, bool bold, bool italic) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    if (bold) lf.lfWeight = FW_BOLD;
    if (italic) lf.lfItalic = TRUE;
    return CreateFontIndirectW(&lf);
}

bool clipboardHasText() { return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0; }

// A text with the desktop's line breaks on Windows, CR LF.
std::wstring withCrLf(const std::string& utf8) {
    std::wstring text;
    for (wchar_t c : win::wide(utf8)) {
        if (c == L'\n') text += L'\r';
        text += c;
    }
    return text;
}

// The box to accessibility: the system's object for a window's client area,
// but with the role of a text box, its text as the value (not the name),
// and a value that can be set.
class TextAccessible : public IAccessible {
public:
    TextAccessible(HWND box, IAccessible* standard) : box_(box), standard_(standard) { standard_->AddRef(); }
    virtual ~TextAccessible() { standard_->Release(); }
    TextAccessible(const TextAccessible&) = delete;
    TextAccessible& operator=(const TextAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) || IsEqualIID(id, IID_IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return standard_->QueryInterface(id, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return standard_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return standard_->GetTypeInfo(i, l, t); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
        return standard_->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                     UINT* a) override {
        return standard_->Invoke(d, r, l, f, p, v, e, a);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return standard_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return standard_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** d) override { return standard_->get_accChild(c, d); }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT c, BSTR* name) override {
        if (!self(c)) return standard_->get_accName(c, name);
        if (!name) return E_POINTER;
        *name = nullptr;  // the text is the value; a label names the box
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* value) override {
        if (!self(c)) return standard_->get_accValue(c, value);
        if (!value) return E_POINTER;
        const auto length = static_cast<int>(SendMessageW(box_, WM_GETTEXTLENGTH, 0, 0));
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(SendMessageW(box_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *value ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override { return standard_->get_accDescription(c, d); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* role) override {
        if (!self(c)) return standard_->get_accRole(c, role);
        if (!role) return E_POINTER;
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_TEXT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override { return standard_->get_accState(c, s); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override { return standard_->get_accHelp(c, h); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override {
        return standard_->get_accHelpTopic(f, c, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return standard_->get_accKeyboardShortcut(c, k);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override { return standard_->get_accFocus(f); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override { return standard_->get_accSelection(s); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override {
        return standard_->get_accDefaultAction(c, a);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override { return standard_->accSelect(f, c); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override {
        return standard_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override { return standard_->accNavigate(d, s, e); }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override { return standard_->accHitTest(x, y, c); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return standard_->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override { return standard_->put_accName(c, n); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR value) override {
        if (!self(c)) return standard_->put_accValue(c, value);
        // As a step the user can undo.
        SendMessageW(box_, EM_SETSEL, 0, -1);
        SendMessageW(box_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value ? value : L""));
        return S_OK;
    }

private:
    static bool self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    HWND box_;
    IAccessible* standard_;
    LONG references_ = 1;
};

}  // namespace

// What the system tells of drags over the box, handed to the box; a drag
// without text is refused from its start.
class ScriptBox::DropTarget : public Counted<IDropTarget> {
public:
    explicit DropTarget(ScriptBox* box) : box_(box) {}
    virtual ~DropTarget() = default;
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;
    void detach() { box_ = nullptr; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        text_ = box_ && offersText(data);
        return DragOver(keys, at, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        const DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        if (text_ && box_)
            *effect = static_cast<DWORD>(guardedProcedure([&] { return box_->dragOver(at, keys, allowed); }, DROPEFFECT_NONE));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        if (box_) box_->dragLeft();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        const DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        if (text_ && box_)
            *effect = static_cast<DWORD>(guardedProcedure([&] { return box_->drop(data, at, keys, allowed); }, DROPEFFECT_NONE));
        return S_OK;
    }

private:
    ScriptBox* box_;
    bool text_ = false;  // the drag offers text
};

const wchar_t* ScriptBox::className() {
    static const wchar_t* const name = [] {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &ScriptBox::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
        wc.lpszClassName = L"TorvicScript";
        RegisterClassW(&wc);
        return wc.lpszClassName;
    }();
    return name;
}

ScriptBox::~ScriptBox() {
    stopDrops();
    if (oleStarted_) OleUninitialize();
    if (box_) SetWindowLongPtrW(box_, GWLP_USERDATA, 0);
    if (bold_) DeleteObject(bold_);
    if (italic_) DeleteObject(italic_);
}

void ScriptBox::attach(HWND box, void (*onKeyUp)(void*), void (*onClick)(void*), void* owner) {
    box_ = box;
    onKeyUp_ = onKeyUp;
    onClick_ = onClick;
    owner_ = owner;
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The colours follow the line as the interpreter reads it.
    editing_.classify = [](std::string_view line) { return lineKind(line); };
    setFont(reinterpret_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT)));
    // Drops, through OLE on this (the window's) thread.
    oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
    if (oleStarted_) {
        auto* target = new DropTarget(this);
        if (SUCCEEDED(RegisterDragDrop(box, target)))
            dropTarget_ = target;
        else
            target->Release();
    }
}

void ScriptBox::stopDrops() {
    if (!dropTarget_) return;
    if (box_) RevokeDragDrop(box_);
    dropTarget_->detach();  // a call already on its way finds no box
    dropTarget_->Release();
    dropTarget_ = nullptr;
}

LRESULT CALLBACK ScriptBox::proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* me = reinterpret_cast<ScriptBox*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    if (!me) return DefWindowProcW(box, message, wParam, lParam);
    if (message == WM_DESTROY) me->stopDrops();
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(box, GWLP_USERDATA, 0);
        me->box_ = nullptr;
        return DefWindowProcW(box, message, wParam, lParam);
    }
    return guardedProcedure([&] { return me->handle(message, wParam, lParam); }, 0);
}

void ScriptBox::setFont(HFONT font) {
    font_ = font;
    if (bold_) DeleteObject(bold_);
    if (italic_) DeleteObject(italic_);
    bold_ = variantOf(font, true, false);
    italic_ = variantOf(font, false, true);
    HDC dc = GetDC(box_);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SIZE cell{}, nine{};
    GetTextExtentPoint32W(dc, L"M", 1, &cell);
    GetTextExtentPoint32W(dc, L"9", 1, &nine);
    SelectObject(dc, old);
    ReleaseDC(box_, dc);
    lineHeight_ = std::max<int>(1, tm.tmHeight);
    ascent_ = tm.tmAscent;
    cellWidth_ = std::max<int>(1, cell.cx);
    digitWidth_ = std::max<int>(1, nine.cx);
    InvalidateRect(box_, nullptr, FALSE);
    relayout();
}

long long ScriptBox::WheelSteps::add(int delta, UINT perNotch, long long page) {
    // A notch (WHEEL_DELTA) is `perNotch` steps, or a page; parts of one
    // add up, and a turn the other way starts afresh.
    const long long each = perNotch == WHEEL_PAGESCROLL ? page : std::max<long long>(1, perNotch);
    if ((rest > 0 && delta < 0) || (rest < 0 && delta > 0)) rest = 0;
    rest += static_cast<long long>(delta) * each;
    const long long steps = rest / WHEEL_DELTA;
    rest -= steps * WHEEL_DELTA;
    return steps;
}

void ScriptBox::fitRange() {
    // The horizontal range grows by a quarter at a time, not at every key
    // that makes a line the longest: setting it costs a key its time.
    const std::size_t need = editing_.widest() + 2;
    if (need > rangeColumns_ || need < rangeColumns_ / 2) rangeColumns_ = need + need / 4 + 16;
}

std::size_t ScriptBox::visibleColumns() const {
    RECT client;
    GetClientRect(box_, &client);
    return static_cast<std::size_t>(std::max(1, (static_cast<int>(client.right) - textLeft()) / cellWidth_));
}

int ScriptBox::shownLines() const {
    RECT client;
    GetClientRect(box_, &client);
    return std::max(1, static_cast<int>(client.bottom) / lineHeight_);
}

void ScriptBox::setText(std::string utf8) {
    editing_.setText(std::move(utf8));
    firstLine_ = hscroll_ = 0;
    if (box_) InvalidateRect(box_, nullptr, FALSE);
    afterEdit();
}

void ScriptBox::replaceAll(std::string_view utf8) {
    editing_.replaceAll(utf8);
    afterEdit();
}

void ScriptBox::setCaret(std::size_t caret, std::size_t anchor) {
    editing_.setCaret(caret, anchor);
    caretMoved();
}

void ScriptBox::markRunLine(int index) {
    if (index == editing_.marked) return;
    editing_.marked = index;
    if (box_) InvalidateRect(box_, nullptr, FALSE);  // (a hidden run may mark lines before the box is made)
}

void ScriptBox::afterEdit() {
    if (!box_) return;
    invalidate(editing_.redrawAfterEdit());
    relayout();
    notifyParent(box_, EN_CHANGE);
}

void ScriptBox::relayout() {
    // The gutter widens with the number of lines.
    int digits = 1;
    for (std::size_t n = std::max<std::size_t>(1, text().lineCount()); n >= 10; n /= 10) ++digits;
    const int width = 8 + digitWidth_ * std::max(3, digits);
    if (width != gutterWidth_) {
        gutterWidth_ = width;
        InvalidateRect(box_, nullptr, FALSE);
    }
    caretMoved();
}

void ScriptBox::caretMoved() {
    if (!box_) return;
    invalidate(editing_.redrawAfterCaretMove());
    ensureCaretVisible();
    placeCaret();
}

void ScriptBox::invalidate(const ScriptEditing::Redraw& redraw) {
    if (!redraw.any()) return;
    RECT client;
    GetClientRect(box_, &client);
    auto rows = [&](std::size_t from, std::size_t to, LONG right) {
        const long long first = static_cast<long long>(from) - firstLine_;
        const long long last = to == ScriptEditing::kToBottom ? shownLines() : static_cast<long long>(to) - firstLine_;
        if (last < 0 || first > shownLines()) return;
        const RECT r{0, static_cast<LONG>(std::max(0LL, first) * lineHeight_), right,
                     static_cast<LONG>(std::min<long long>(last + 1, shownLines() + 1) * lineHeight_)};
        InvalidateRect(box_, &r, FALSE);
    };
    rows(redraw.from, redraw.to, client.right);
    if (redraw.numbersBelow) rows(redraw.from, ScriptEditing::kToBottom, gutterWidth_);
}

void ScriptBox::placeCaret() {
    if (GetFocus() != box_) return;
    const ScriptText& t = text();
    const long long row = static_cast<long long>(t.lineOf(t.caret)) - firstLine_;
    const long long x = textLeft() + static_cast<long long>(t.columnOf(t.caret)) * cellWidth_ - hscroll_;
    const bool inSight = row >= 0 && row <= shownLines() && x >= textLeft() - 1;
    const POINT at{inSight ? static_cast<LONG>(x) - 1 : -100, inSight ? static_cast<LONG>(row) * lineHeight_ : -100};
    SetCaretPos(at.x, at.y);
    // An input method's composition window follows the caret, in the box's font.
    if (HIMC context = ImmGetContext(box_)) {
        COMPOSITIONFORM form{CFS_POINT, {at.x + 1, at.y}, {}};
        ImmSetCompositionWindow(context, &form);
        LOGFONTW lf{};
        if (GetObjectW(font_, sizeof lf, &lf)) ImmSetCompositionFontW(context, &lf);
        ImmReleaseContext(box_, context);
    }
}

void ScriptBox::updateScrollBars() {
    RECT client;
    GetClientRect(box_, &client);
    fitRange();
    const long long wide = static_cast<long long>(rangeColumns_) * cellWidth_ + textLeft();
    const ScrollState now{static_cast<int>(std::max<std::size_t>(1, text().lineCount()) - 1), shownLines(),
                          static_cast<int>(firstLine_), static_cast<int>(std::min<long long>(wide, INT_MAX / 2)),
                          static_cast<int>(client.right), static_cast<int>(hscroll_)};
    // Each bar is told only what changed of it: setting one costs a key
    // its time (most of Ctrl+End's under Wine), a position alone the least.
    const ScrollState was = scrollShown_;
    scrollShown_ = now;
    const bool vRange = now.lastLine != was.lastLine || now.page != was.page, vPos = now.firstLine != was.firstLine;
    if (vRange || vPos) {
        SCROLLINFO v{sizeof v, static_cast<UINT>(vRange ? SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL : SIF_POS), 0, now.lastLine,
                     static_cast<UINT>(now.page), now.firstLine, 0};
        SetScrollInfo(box_, SB_VERT, &v, TRUE);
    }
    const bool hRange = now.width != was.width || now.shownWidth != was.shownWidth, hPos = now.left != was.left;
    if (hRange || hPos) {
        SCROLLINFO h{sizeof h, static_cast<UINT>(hRange ? SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL : SIF_POS), 0, now.width,
                     static_cast<UINT>(now.shownWidth), now.left, 0};
        SetScrollInfo(box_, SB_HORZ, &h, TRUE);
    }
}

void ScriptBox::scrollTo(long long firstLine, long long hscroll) {
    RECT client;
    GetClientRect(box_, &client);
    const long long lastFirst = std::max<long long>(0, static_cast<long long>(text().lineCount()) - shownLines());
    fitRange();
    const long long widest = static_cast<long long>(rangeColumns_) * cellWidth_ + textLeft() - client.right;
    firstLine = std::clamp<long long>(firstLine, 0, lastFirst);
    hscroll = std::clamp<long long>(hscroll, 0, std::max<long long>(0, widest));
    if (firstLine != firstLine_ || hscroll != hscroll_) {
        firstLine_ = firstLine;
        hscroll_ = hscroll;
        InvalidateRect(box_, nullptr, FALSE);
    }
    updateScrollBars();
    placeCaret();
}

void ScriptBox::ensureCaretVisible() {
    const ScriptText& t = text();
    const long long line = static_cast<long long>(t.lineOf(t.caret)), count = shownLines();
    long long first = firstLine_, h = hscroll_;
    if (line < first)
        first = line;
    else if (line >= first + count)
        first = line - count + 1;
    RECT client;
    GetClientRect(box_, &client);
    const long long x = static_cast<long long>(t.columnOf(t.caret)) * cellWidth_;
    const long long width = client.right - textLeft() - 2;
    if (x < h)
        h = std::max(0LL, x - width / 4);
    else if (x > h + width - cellWidth_)
        h = x - width + 4 * cellWidth_;
    scrollTo(first, h);
}

std::size_t ScriptBox::positionAtPoint(int x, int y) const {
    const ScriptText& t = editing_.text();
    const long long line = std::clamp<long long>(firstLine_ + (y < 0 ? -1 - (-y / lineHeight_) : y / lineHeight_), 0,
                                                 static_cast<long long>(t.lineCount()) - 1);
    const long long column = std::max<long long>(0, (x - textLeft() + hscroll_ + cellWidth_ / 2) / cellWidth_);
    return t.positionAt(static_cast<std::size_t>(line), static_cast<std::size_t>(column));
}

void ScriptBox::paint(HDC dc, const RECT& update) {
    RECT client;
    GetClientRect(box_, &client);
    // Drawn off screen first, then put up at once: no flicker. Only the
    // part asked for: a key asks for its line.
    const int areaWidth = std::max<int>(1, update.right - update.left), areaHeight = std::max<int>(1, update.bottom - update.top);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, areaWidth, areaHeight);
    HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
    SetViewportOrgEx(mem, -update.left, -update.top, nullptr);
    HGDIOBJ oldFont = SelectObject(mem, font_);
    const BoxColours colours = systemBoxColours();
    const COLORREF kGutter = toColorref(colours.gutter), kNumber = toColorref(colours.gutterNumber),
                   kRunning = toColorref(colours.gutterRunning), kRunningNumber = toColorref(colours.gutterRunningNumber),
                   kRunLine = toColorref(colours.runLine), kOutside1252 = toColorref(colours.outside1252),
                   kKeyword = toColorref(colours.keyword), kComment = toColorref(colours.comment);
    HPEN red = CreatePen(PS_SOLID, 1, toColorref(colours.wave));
    HGDIOBJ oldPen = SelectObject(mem, red);
    const COLORREF paper = GetSysColor(COLOR_WINDOW), ink = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), highlightInk = GetSysColor(COLOR_HIGHLIGHTTEXT);
    auto fill = [mem](const RECT& r, COLORREF colour) {
        SetBkColor(mem, colour);
        ExtTextOutW(mem, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    };
    fill(update, paper);
    fill(RECT{0, update.top, gutterWidth_, update.bottom}, kGutter);
    const int left = textLeft();
    const std::size_t firstColumn = static_cast<std::size_t>(hscroll_ / cellWidth_);
    const std::size_t lastColumn = firstColumn + static_cast<std::size_t>(client.right / cellWidth_) + 2;
    const std::size_t lines = text().lineCount();
    const std::size_t widest = editing_.widest();
    const int firstRow = std::max<int>(0, update.top / lineHeight_);
    std::vector<wchar_t> units;
    std::vector<int> dx;
    for (int row = firstRow; row * lineHeight_ < update.bottom; ++row) {
        const std::size_t line = static_cast<std::size_t>(firstLine_) + static_cast<std::size_t>(row);
        if (line >= lines) break;
        const int top = row * lineHeight_;
        const ShownLine shown = editing_.shownLine(line, firstColumn, lastColumn);
        // The text, clipped to its side of the gutter.
        SaveDC(mem);
        IntersectClipRect(mem, gutterWidth_, 0, client.right, client.bottom);
        if (shown.running) fill(RECT{gutterWidth_, top, client.right, top + lineHeight_}, kRunLine);
        for (const ShownRun& run : shown.runs) {
            const int x = left + static_cast<int>(static_cast<long long>(run.column) * cellWidth_ - hscroll_);
            const int width = static_cast<int>(run.cells) * cellWidth_;
            const RECT cell{x, top, x + width, top + lineHeight_};
            COLORREF back = shown.running ? kRunLine : paper, colour = ink;
            if (run.style.kind == TextStyle::Keyword) colour = kKeyword;
            if (run.style.kind == TextStyle::Comment) colour = kComment;
            if (run.selected) {
                back = highlight;
                colour = highlightInk;
            } else if (run.style.outside1252) {
                back = kOutside1252;
            }
            units.clear();
            dx.clear();
            for (char32_t u : run.text) {
                // Each character its cells; a combining mark none, drawn
                // over the character before it.
                const int advance = static_cast<int>(ScriptText::cellsOf(u)) * cellWidth_;
                if (u > 0xFFFF) {
                    units.push_back(static_cast<wchar_t>(0xD800 + ((u - 0x10000) >> 10)));
                    units.push_back(static_cast<wchar_t>(0xDC00 + ((u - 0x10000) & 0x3FF)));
                    dx.push_back(advance);
                    dx.push_back(0);
                } else {
                    units.push_back(static_cast<wchar_t>(u));
                    dx.push_back(advance);
                }
            }
            SelectObject(mem, run.style.kind == TextStyle::Keyword   ? bold_
                              : run.style.kind == TextStyle::Comment ? italic_
                                                                     : font_);
            SetTextColor(mem, colour);
            SetBkColor(mem, back);
            ExtTextOutW(mem, x, top, ETO_OPAQUE | ETO_CLIPPED, &cell, units.data(), static_cast<UINT>(units.size()),
                        dx.empty() ? nullptr : dx.data());
            if (run.style.wave) wave(mem, x, x + width, top + ascent_ + 1);
        }
        // A selection going on past the line's end covers its line break.
        if (shown.breakSelected) {
            const int x = left + static_cast<int>(static_cast<long long>(shown.endColumn) * cellWidth_ - hscroll_);
            fill(RECT{x, top, x + cellWidth_, top + lineHeight_}, highlight);
        }
        RestoreDC(mem, -1);
        // The gutter: the run number, the running line green, a line
        // holding characters 1252 lacks red.
        const int number = editing_.runNumber(line);
        if (number < 0) continue;
        const bool running = number == editing_.marked;
        if (running || editing_.lineHoldsOutside1252(line))
            fill(RECT{0, top, gutterWidth_, top + lineHeight_}, running ? kRunning : kOutside1252);
        SetTextColor(mem, running ? kRunningNumber : kNumber);
        SetBkMode(mem, TRANSPARENT);
        SelectObject(mem, font_);
        RECT digits{0, top, gutterWidth_ - 4, top + lineHeight_};
        const std::wstring label = std::to_wstring(number);
        DrawTextW(mem, label.c_str(), static_cast<int>(label.size()), &digits, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
        SetBkMode(mem, OPAQUE);
    }
    // Where a drag would put its text.
    if (dropMark_ != kNoMark) {
        const RECT mark = dropMarkRect();
        if (mark.left >= gutterWidth_) fill(mark, ink);
    }
    BitBlt(dc, update.left, update.top, areaWidth, areaHeight, mem, update.left, update.top, SRCCOPY);
    SelectObject(mem, oldPen);
    DeleteObject(red);
    SelectObject(mem, oldFont);
    SelectObject(mem, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(mem);
    // A wider line drawn: the scroll bar reaches it.
    if (editing_.widest() != widest) updateScrollBars();
}

void ScriptBox::copy() {
    if (!editing_.hasSelection()) return;
    setClipboardText(box_, withCrLf(editing_.selectionForClipboard()));
}

void ScriptBox::dragSelection() {
    const ScriptText& t = text();
    const std::size_t from = t.selectionStart(), to = t.selectionEnd();
    IDataObject* data = newTextData(withCrLf(editing_.selectionForClipboard()));
    IDropSource* source = newDropSource();
    draggingOut_ = true;
    droppedHere_ = false;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    draggingOut_ = false;
    source->Release();
    data->Release();
    showDropMark(kNoMark);
    // Moved into another program: taken from here (if it is still what was dragged).
    if (result == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE && !droppedHere_ && t.selectionStart() == from &&
        t.selectionEnd() == to && from != to) {
        editing_.replaceSelection({});
        afterEdit();
    }
}

bool ScriptBox::acceptsDrops() const {
    return box_ && IsWindowEnabled(box_) && !(GetWindowLongPtrW(box_, GWL_STYLE) & ES_READONLY);
}

DWORD ScriptBox::dragOver(POINTL screen, DWORD keys, DWORD allowed) {
    if (!acceptsDrops()) {
        showDropMark(kNoMark);
        return DROPEFFECT_NONE;
    }
    POINT at{screen.x, screen.y};
    ScreenToClient(box_, &at);
    // Held by the top or bottom edge, the box scrolls a line at a time.
    RECT client;
    GetClientRect(box_, &client);
    if (at.y < lineHeight_ / 2)
        scrollTo(firstLine_ - 1, hscroll_);
    else if (at.y > client.bottom - lineHeight_ / 2)
        scrollTo(firstLine_ + 1, hscroll_);
    showDropMark(positionAtPoint(at.x, at.y));
    // The box's own selection is moved, or copied with Ctrl; another
    // program's text is copied.
    const DWORD wanted = draggingOut_ ? ((keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE)
                         : (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY
                                                       : DROPEFFECT_MOVE;
    return wanted & allowed;
}

void ScriptBox::dragLeft() { showDropMark(kNoMark); }

DWORD ScriptBox::drop(IDataObject* data, POINTL screen, DWORD keys, DWORD allowed) {
    showDropMark(kNoMark);
    if (!acceptsDrops()) return DROPEFFECT_NONE;
    POINT point{screen.x, screen.y};
    ScreenToClient(box_, &point);
    const std::size_t at = positionAtPoint(point.x, point.y);
    const DWORD effect = draggingOut_ ? ((keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE) & allowed
                         : (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY
                                                       : allowed & DROPEFFECT_MOVE;
    if (!effect) return DROPEFFECT_NONE;
    if (draggingOut_) {
        droppedHere_ = true;
        if (editing_.dropSelection(at, effect == DROPEFFECT_COPY)) afterEdit();
    } else {
        const std::optional<std::wstring> dropped = textOf(data);
        if (!dropped || dropped->empty()) return DROPEFFECT_NONE;
        setCaret(at, at);
        editing_.paste(win::utf8(*dropped));
        afterEdit();
    }
    if (onClick_) onClick_(owner_);  // the caret is elsewhere
    return effect;
}

RECT ScriptBox::dropMarkRect() const {
    const ScriptText& t = editing_.text();
    const long long row = static_cast<long long>(t.lineOf(dropMark_)) - firstLine_;
    const long long x = textLeft() + static_cast<long long>(t.columnOf(dropMark_)) * cellWidth_ - hscroll_;
    const auto clampInt = [](long long v) { return static_cast<LONG>(std::clamp<long long>(v, -1000000, 1000000)); };
    return {clampInt(x - 1), clampInt(row * lineHeight_), clampInt(x + 1), clampInt((row + 1) * lineHeight_)};
}

void ScriptBox::showDropMark(std::size_t pos) {
    if (pos == dropMark_ || !box_) return;
    if (dropMark_ != kNoMark) {
        const RECT old = dropMarkRect();
        InvalidateRect(box_, &old, FALSE);
    }
    dropMark_ = pos;
    if (dropMark_ != kNoMark) {
        const RECT now = dropMarkRect();
        InvalidateRect(box_, &now, FALSE);
    }
}

void ScriptBox::paste() {
    const std::string text = win::utf8(clipboardText(box_));
    if (text.empty()) return;
    editing_.paste(text);
    afterEdit();
}

void ScriptBox::contextMenu(int x, int y) {
    HMENU menu = CreatePopupMenu();
    const bool pasteable = clipboardHasText();
    const std::vector<EditMenuItem>& items = editMenu();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].caption) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT flags = MF_STRING | (editing_.canDo(items[i].command, pasteable) ? 0 : MF_GRAYED);
        AppendMenuW(menu, flags, i + 1, win::wide(items[i].caption).c_str());
    }
    if (x == -1 && y == -1) {  // from the keyboard: at the caret
        POINT caret{};
        GetCaretPos(&caret);
        ClientToScreen(box_, &caret);
        x = caret.x;
        y = caret.y + lineHeight_;
    }
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, box_, nullptr));
    DestroyMenu(menu);
    if (chosen > 0 && chosen <= items.size()) run(items[chosen - 1].command);
}

bool ScriptBox::run(EditCommand command) {
    switch (command) {
        case EditCommand::Undo:
            if (!editing_.undo()) return false;
            break;
        case EditCommand::Redo:
            if (!editing_.redo()) return false;
            break;
        case EditCommand::Copy: copy(); return true;
        case EditCommand::Paste: paste(); return true;
        case EditCommand::SelectAll: setCaret(text().size(), 0); return true;
        case EditCommand::Cut:
        case EditCommand::Delete:
            if (!editing_.hasSelection()) return false;
            if (command == EditCommand::Cut) copy();
            editing_.replaceSelection({});
            break;
        case EditCommand::None: return false;
    }
    afterEdit();
    return true;
}

bool ScriptBox::key(WPARAM vk) {
    using Move = ScriptEditing::Move;
    using Erase = ScriptEditing::Erase;
    const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    auto move = [&](Move how, std::size_t lines = 1) {
        editing_.move(how, shift, lines);
        caretMoved();
        return true;
    };
    auto erase = [&](Erase how) {
        editing_.erase(how);
        afterEdit();
        return true;
    };
    auto command = [&](EditCommand what) {
        run(what);
        return true;
    };
    const auto page = static_cast<std::size_t>(shownLines());
    switch (vk) {
        case VK_LEFT: return move(ctrl ? Move::WordLeft : Move::Left);
        case VK_RIGHT: return move(ctrl ? Move::WordRight : Move::Right);
        case VK_UP: return move(Move::Up);
        case VK_DOWN: return move(Move::Down);
        case VK_PRIOR:
            scrollTo(firstLine_ - shownLines(), hscroll_);
            return move(Move::Up, page);
        case VK_NEXT:
            scrollTo(firstLine_ + shownLines(), hscroll_);
            return move(Move::Down, page);
        case VK_HOME: return move(ctrl ? Move::TextStart : Move::LineStart);
        case VK_END: return move(ctrl ? Move::TextEnd : Move::LineEnd);
        case VK_BACK: return erase(ctrl ? Erase::WordBack : Erase::Back);
        case VK_DELETE:
            if (shift) return command(EditCommand::Cut);
            return erase(ctrl ? Erase::WordForward : Erase::Forward);
        case VK_INSERT:
            if (ctrl) return command(EditCommand::Copy);
            if (shift) return command(EditCommand::Paste);
            return false;
        default: break;
    }
    if (!ctrl || GetKeyState(VK_MENU) < 0) return false;
    switch (vk) {
        case 'Z': return command(shift ? EditCommand::Redo : EditCommand::Undo);
        case 'Y': return command(EditCommand::Redo);
        case 'C': return command(EditCommand::Copy);
        case 'X': return command(EditCommand::Cut);
        case 'V': return command(EditCommand::Paste);
        default: return false;
    }
}

void ScriptBox::typed(wchar_t c) {
    if (c >= 0xD800 && c <= 0xDBFF) {
        highSurrogate_ = c;
        return;
    }
    std::wstring unit(1, c);
    if (c >= 0xDC00 && c <= 0xDFFF) {
        if (!highSurrogate_) return;
        unit.insert(unit.begin(), highSurrogate_);
    }
    highSurrogate_ = 0;
    if (c == L'\r') {
        editing_.replaceSelection("\r\n");
    } else if (c == L'\t') {
        if (GetKeyState(VK_CONTROL) < 0) return;  // Ctrl+Tab moves the focus
        editing_.replaceSelection("\t", true);
    } else if (c < 0x20 || c == 0x7F) {
        return;  // Backspace and the control keys act as keys
    } else {
        editing_.replaceSelection(win::utf8(unit), true);
    }
    afterEdit();
}

LRESULT ScriptBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: {
            // Characters, arrows, Tab (and Shift+Tab) and Enter are the box's;
            // Ctrl+Tab and Ctrl+Shift+Tab take the focus on, as in a
            // multi-line edit box; Esc stays the window's ("End").
            LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && msg->wParam == VK_RETURN)
                code |= DLGC_WANTMESSAGE;
            if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0)
                code &= ~static_cast<LRESULT>(DLGC_WANTTAB);
            return code;
        }
        case WM_SETFONT:
            setFont(reinterpret_cast<HFONT>(wParam));
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(box_, &ps);
            paint(dc, ps.rcPaint);
            EndPaint(box_, &ps);
            return 0;
        }
        case WM_SIZE:
            scrollTo(firstLine_, hscroll_);
            InvalidateRect(box_, nullptr, FALSE);
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL: {
            const bool vertical = message == WM_VSCROLL;
            SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
            GetScrollInfo(box_, vertical ? SB_VERT : SB_HORZ, &si);
            const long long step = vertical ? 1 : cellWidth_, page = vertical ? shownLines() : static_cast<long long>(si.nPage);
            long long at = vertical ? firstLine_ : hscroll_;
            switch (LOWORD(wParam)) {
                case SB_LINEUP: at -= step; break;
                case SB_LINEDOWN: at += step; break;
                case SB_PAGEUP: at -= page; break;
                case SB_PAGEDOWN: at += page; break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION: at = si.nTrackPos; break;
                case SB_TOP: at = 0; break;
                case SB_BOTTOM: at = si.nMax; break;
                default: break;
            }
            if (vertical)
                scrollTo(at, hscroll_);
            else
                scrollTo(firstLine_, at);
            return 0;
        }
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            // Shift turns the wheel sideways (a tilt is sideways already).
            const bool sideways = message == WM_MOUSEHWHEEL || (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT);
            const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
            if (sideways) {
                UINT chars = 3;
                SystemParametersInfoW(SPI_GETWHEELSCROLLCHARS, 0, &chars, 0);
                // Up (or a tilt to the left) goes left.
                const long long steps = wheelSideways_.add(message == WM_MOUSEHWHEEL ? delta : -delta, chars,
                                                           static_cast<long long>(visibleColumns()));
                if (steps) scrollTo(firstLine_, hscroll_ + steps * cellWidth_);
            } else {
                UINT lines = 3;
                SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
                const long long steps = wheelLines_.add(delta, lines, shownLines());
                if (steps) scrollTo(firstLine_ - steps, hscroll_);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (key(wParam)) return 0;
            break;
        case WM_KEYUP:
            if (onKeyUp_) onKeyUp_(owner_);
            return 0;
        case WM_CHAR:
            typed(static_cast<wchar_t>(wParam));
            return 0;
        case WM_SETFOCUS:
            CreateCaret(box_, nullptr, 2, lineHeight_);
            placeCaret();
            ShowCaret(box_);
            return 0;
        case WM_KILLFOCUS:
            DestroyCaret();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            SetFocus(box_);
            SetCapture(box_);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            // The second press of a double click takes the word; a third
            // soon after, where it was, the line.
            int clicks = message == WM_LBUTTONDBLCLK ? 2 : 1;
            if (clicks == 1 && doubleClicked_ && GetMessageTime() - doubleClickTime_ <= static_cast<LONG>(GetDoubleClickTime()) &&
                std::abs(at.x - doubleClickAt_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                std::abs(at.y - doubleClickAt_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2)
                clicks = 3;
            doubleClicked_ = clicks == 2;
            doubleClickTime_ = GetMessageTime();
            doubleClickAt_ = at;
            const std::size_t pos = positionAtPoint(at.x, at.y);
            // A press in the selection may start dragging it away.
            const ScriptText& t = text();
            if (clicks == 1 && !(wParam & MK_SHIFT) && dropTarget_ && t.caret != t.anchor && pos >= t.selectionStart() &&
                pos < t.selectionEnd()) {
                pressedInSelection_ = true;
                pressAt_ = at;
                return 0;
            }
            selecting_ = true;
            editing_.press(pos, clicks, clicks == 1 && (wParam & MK_SHIFT));
            caretMoved();
            return 0;
        }
        case WM_MOUSEMOVE: {
            if (pressedInSelection_) {
                if (!(wParam & MK_LBUTTON)) {
                    pressedInSelection_ = false;
                    return 0;
                }
                const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (std::abs(at.x - pressAt_.x) >= GetSystemMetrics(SM_CXDRAG) ||
                    std::abs(at.y - pressAt_.y) >= GetSystemMetrics(SM_CYDRAG)) {
                    pressedInSelection_ = false;
                    ReleaseCapture();
                    dragSelection();
                }
                return 0;
            }
            if (!selecting_) return 0;
            // A drag held beyond the box goes on scrolling it, a line at a time.
            dragAt_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            editing_.dragTo(positionAtPoint(dragAt_.x, dragAt_.y));
            caretMoved();
            RECT client;
            GetClientRect(box_, &client);
            if (PtInRect(&client, dragAt_))
                KillTimer(box_, kDragScroll);
            else
                SetTimer(box_, kDragScroll, 50, nullptr);
            return 0;
        }
        case WM_TIMER:
            if (wParam != kDragScroll) break;
            if (selecting_) {
                editing_.dragTo(positionAtPoint(dragAt_.x, dragAt_.y));
                caretMoved();
            }
            return 0;
        case WM_LBUTTONUP:
            KillTimer(box_, kDragScroll);
            if (pressedInSelection_) {  // a click in the selection, not a drag
                pressedInSelection_ = false;
                ReleaseCapture();
                editing_.press(positionAtPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), 1, false);
                caretMoved();
            }
            if (selecting_) {
                selecting_ = false;
                ReleaseCapture();
            }
            if (onClick_) onClick_(owner_);
            return 0;
        case WM_CAPTURECHANGED:
            pressedInSelection_ = false;
            return 0;
        case WM_CONTEXTMENU:
            contextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        // The edit box's messages, as its menu does them.
        case WM_UNDO:
        case EM_UNDO: return run(EditCommand::Undo);
        case WM_COPY:
        case WM_CUT:
        case WM_CLEAR:
        case WM_PASTE:
            run(message == WM_COPY  ? EditCommand::Copy
                : message == WM_CUT ? EditCommand::Cut
                : message == WM_CLEAR ? EditCommand::Delete
                                      : EditCommand::Paste);
            return 0;
        case EM_GETMODIFY: return text().isModified();
        case EM_SETMODIFY: setModified(wParam != 0); return 0;
        case EM_CANUNDO: return text().canUndo();
        case EM_SCROLLCARET: ensureCaretVisible(); return TRUE;
        case EM_GETFIRSTVISIBLELINE: return static_cast<LRESULT>(firstLine_);
        case EM_POSFROMCHAR: {  // where a character is drawn, in the client area
            const std::size_t units = static_cast<std::size_t>(wParam);
            if (units > editing_.unitsBefore(text().size())) return -1;
            const std::size_t pos = editing_.positionOfUnits(units);
            const long long x = textLeft() + static_cast<long long>(text().columnOf(pos)) * cellWidth_ - hscroll_;
            const long long y = (static_cast<long long>(text().lineOf(pos)) - firstLine_) * lineHeight_;
            return MAKELONG(static_cast<short>(std::clamp<long long>(x, -32768, 32767)),
                            static_cast<short>(std::clamp<long long>(y, -32768, 32767)));
        }
        // What screen readers and automation read and select by, counted in
        // characters (UTF-16 units) as the edit box counts them.
        case EM_GETSEL: {
            const auto from = static_cast<DWORD>(editing_.unitsBefore(text().selectionStart()));
            const auto to = static_cast<DWORD>(editing_.unitsBefore(text().selectionEnd()));
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = from;
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = to;
            return from > 0xFFFF || to > 0xFFFF ? -1 : static_cast<LRESULT>(MAKELONG(from, to));
        }
        case EM_SETSEL: {
            const auto from = static_cast<int>(wParam), to = static_cast<int>(lParam);
            const std::size_t end = text().size();
            if (from < 0) {  // no selection: the caret stays where it is
                setCaret(text().caret, text().caret);
                return 0;
            }
            const std::size_t anchor = editing_.positionOfUnits(static_cast<std::size_t>(from));
            const std::size_t caret = to < 0 ? end : editing_.positionOfUnits(static_cast<std::size_t>(to));
            setCaret(caret, anchor);
            return 0;
        }
        case EM_REPLACESEL: {
            editing_.replaceSelection(lParam ? win::utf8(reinterpret_cast<const wchar_t*>(lParam)) : std::string());
            afterEdit();
            return 0;
        }
        case EM_GETLINECOUNT: return static_cast<LRESULT>(text().lineCount());
        case EM_LINEFROMCHAR: {
            const std::size_t pos = static_cast<int>(wParam) < 0 ? text().selectionStart()
                                                                  : editing_.positionOfUnits(static_cast<std::size_t>(wParam));
            return static_cast<LRESULT>(text().lineOf(pos));
        }
        case EM_LINEINDEX: {
            const std::size_t line = static_cast<int>(wParam) < 0 ? text().lineOf(text().caret) : static_cast<std::size_t>(wParam);
            if (line >= text().lineCount()) return -1;
            return static_cast<LRESULT>(editing_.unitsBefore(text().lineStart(line)));
        }
        case EM_LINELENGTH: {
            const ScriptText& t = text();
            auto unitsIn = [this](std::size_t from, std::size_t to) {
                return editing_.unitsBefore(to) - editing_.unitsBefore(from);
            };
            if (static_cast<int>(wParam) < 0) {  // what is not selected on the selection's lines
                const std::size_t from = t.selectionStart(), to = t.selectionEnd();
                return static_cast<LRESULT>(unitsIn(t.lineStart(t.lineOf(from)), from) + unitsIn(to, t.lineEnd(t.lineOf(to))));
            }
            const std::size_t line = t.lineOf(editing_.positionOfUnits(static_cast<std::size_t>(wParam)));
            return static_cast<LRESULT>(unitsIn(t.lineStart(line), t.lineEnd(line)));
        }
        case EM_GETLINE: {
            if (wParam >= text().lineCount() || !lParam) return 0;
            auto* out = reinterpret_cast<wchar_t*>(lParam);
            const std::size_t room = *reinterpret_cast<const WORD*>(lParam);  // the buffer's size, in its first word
            const std::wstring line = win::wide(text().lineText(static_cast<std::size_t>(wParam)));
            const std::size_t n = std::min(room, line.size());
            std::copy(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(n), out);
            if (n < room) out[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_GETOBJECT:
            // To accessibility: a text box, its text the value, its
            // selection read through the messages above.
            if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) {
                IAccessible* standard = nullptr;
                if (SUCCEEDED(CreateStdAccessibleObject(box_, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard)))) {
                    auto* accessible = new TextAccessible(box_, standard);
                    standard->Release();
                    const LRESULT result = LresultFromObject(IID_IAccessible, wParam, accessible);
                    accessible->Release();
                    return result;
                }
            }
            break;
        // The whole text, wide, to whoever asks (the system's tools too).
        case WM_GETTEXTLENGTH: {
            const std::string_view all = text().text();  // counted, not converted
            return all.empty() ? 0
                               : MultiByteToWideChar(CP_UTF8, 0, all.data(), static_cast<int>(all.size()), nullptr, 0);
        }
        case WM_GETTEXT: {
            if (wParam == 0) return 0;
            const std::wstring all = win::wide(text().text());
            const std::size_t n = std::min<std::size_t>(all.size(), static_cast<std::size_t>(wParam) - 1);
            auto* out = reinterpret_cast<wchar_t*>(lParam);
            std::copy(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n), out);
            out[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_SETTEXT:
            setText(lParam ? win::utf8(reinterpret_cast<const wchar_t*>(lParam)) : std::string());
            return TRUE;
        default: break;
    }
    return DefWindowProcW(box_, message, wParam, lParam);
}

}  // namespace torvic::win32
