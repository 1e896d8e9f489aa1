#include "base/win32/form_win32.h"
#include "base/win32/message_box_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "base/cp1252.h"

namespace torvic::win32 {
namespace {

constexpr const char* kWindowClass = "TorvicForm";

// The form windows by handle, so the message loop finds whose dialog keys
// a message is.
std::map<HWND, FormWindow*>& windows() {
    static std::map<HWND, FormWindow*> all;
    return all;
}

// The common controls (of the version the manifest asks for), loaded and
// set up on first use.
struct CommonControls {
    decltype(&SetWindowSubclass) subclass = nullptr;
    decltype(&DefSubclassProc) defaultProc = nullptr;
    decltype(&RemoveWindowSubclass) remove = nullptr;
};

const CommonControls& commonControls() {
    static const CommonControls loaded = [] {
        HMODULE dll = LoadLibraryA("comctl32.dll");
        if (auto init = procedure<decltype(&InitCommonControlsEx)>(dll, "InitCommonControlsEx")) {
            INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
            init(&controls);
        }
        return CommonControls{procedure<decltype(&SetWindowSubclass)>(dll, "SetWindowSubclass"),
                              procedure<decltype(&DefSubclassProc)>(dll, "DefSubclassProc"),
                              procedure<decltype(&RemoveWindowSubclass)>(dll, "RemoveWindowSubclass")};
    }();
    return loaded;
}

void registerClass() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;  // replaced per window as it is made
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = programIcon(32);
    wc.hIconSm = programIcon(16);
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc);
}

HFONT makeFont(const char* face, double points, bool bold, BYTE pitch = DEFAULT_PITCH) {
    static std::map<std::string, HFONT> made;
    const std::string key = std::string(face) + "/" + std::to_string(points) + (bold ? "b" : "");
    auto it = made.find(key);
    if (it != made.end()) return it->second;
    const int height = -static_cast<int>(std::lround(points * dpi() / 72.0));
    HFONT f = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch, face);
    made[key] = f;
    return f;
}

// Whether the system gave a font of fixed pitch (the bit set means variable).
bool isFixedPitch(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    const bool fixed = GetTextMetricsA(dc, &metrics) && !(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return fixed;
}

// The Win32 class and styles of a control of a kind.
struct ControlClass {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass classOf(ControlKind kind, unsigned style) {
    switch (kind) {
        case ControlKind::Frame: return {"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::Button:
            return {"BUTTON", static_cast<DWORD>(WS_TABSTOP | ((style & DefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)), 0};
        case ControlKind::Label: return {"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::Field:
            return {"EDIT",
                    static_cast<DWORD>(WS_TABSTOP | ES_AUTOHSCROLL | ((style & RightAligned) ? ES_RIGHT : 0) |
                                       ((style & ReadOnly) ? ES_READONLY : 0)),
                    WS_EX_CLIENTEDGE};
        case ControlKind::Editor:
            return {"EDIT",
                    static_cast<DWORD>(WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL |
                                       ES_NOHIDESEL | ((style & WordWrap) ? 0 : ES_AUTOHSCROLL | WS_HSCROLL) |
                                       ((style & ReadOnly) ? ES_READONLY : 0)),
                    WS_EX_CLIENTEDGE};
        case ControlKind::CheckBox: return {"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case ControlKind::List: return {"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
        case ControlKind::DropDown: return {"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::Icon: return {"STATIC", SS_ICON, 0};
        case ControlKind::Line: return {"STATIC", SS_ETCHEDHORZ, 0};
    }
    return {"STATIC", 0, 0};
}

// A frame hands the notifications of its controls (clicks, changes, colours)
// to the window, whose handlers know them, and paints its own background
// (the window clips its children, so nothing else would).
LRESULT CALLBACK forwardToWindow(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(frame, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return SendMessageA(GetAncestor(frame, GA_ROOT), message, wParam, lParam);
        default: return defaultSubclassProc(frame, message, wParam, lParam);
    }
}

}  // namespace

int dpi() {
    static const int value = [] {
        HDC screen = GetDC(nullptr);
        const int d = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return d > 0 ? d : 96;
    }();
    return value;
}

int twipsToScreen(int twips) { return MulDiv(twips, dpi(), 1440); }
int designToScreen(int pixels) { return MulDiv(pixels, dpi(), 96); }
int screenToDesign(int pixels) { return MulDiv(pixels, 96, dpi()); }

TEXTMETRICA controlFontMetrics(HWND control) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return metrics;
}

bool subclassControl(HWND control, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    const auto subclass = commonControls().subclass;
    return subclass && subclass(control, proc, id, data);
}

bool removeSubclass(HWND control, SUBCLASSPROC proc, UINT_PTR id) {
    const auto remove = commonControls().remove;
    return remove && remove(control, proc, id);
}

LRESULT defaultSubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto defaultProc = commonControls().defaultProc;
    return defaultProc ? defaultProc(control, message, wParam, lParam) : DefWindowProcA(control, message, wParam, lParam);
}

HFONT proportionalFont(double points, bool bold) { return makeFont("MS Sans Serif", points, bold); }
HFONT fixedFont(double points) {
    // Where a face is missing the system gives another of the family asked
    // for; the first that is fixed-pitch is kept.
    for (const char* face : {"Courier New", "Lucida Console", "Courier"})
        if (HFONT f = makeFont(face, points, false, FIXED_PITCH | FF_MODERN); f && isFixedPitch(f)) return f;
    return static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
}

HICON programIcon(int size) {
    static std::map<int, HICON> made;
    if (HICON icon = made[size]) return icon;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(dc, colour);
    RECT all{0, 0, size, size};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 128));
    FillRect(dc, &all, blue);
    DeleteObject(blue);
    // The T as two bars, drawn without a font: a hidden run draws no text.
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    const RECT bar{size / 6, size / 6, size - size / 6, size / 6 + size / 5};
    const RECT stem{size / 2 - size / 10, bar.bottom, size / 2 + size / 10, size - size / 8};
    FillRect(dc, &bar, yellow);
    FillRect(dc, &stem, yellow);
    DeleteObject(yellow);
    SelectObject(dc, mask);
    PatBlt(dc, 0, 0, size, size, BLACKNESS);  // the mask: every pixel opaque
    SelectObject(dc, old);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return made[size] = icon;
}

void FormWindow::makeWindow(const char* title, int clientWidth, int clientHeight, HWND owner, DWORD style,
                            bool messageOnly) {
    destroy();
    registerClass();
    // A window whose controls wait starts as a message-only window: the
    // display gets a window of it only once it is shown.
    hwnd_ = CreateWindowExA(0, kWindowClass, cp1252::fromUtf8(title).c_str(), style | WS_CLIPCHILDREN, CW_USEDEFAULT,
                            CW_USEDEFAULT, clientWidth, clientHeight, messageOnly ? HWND_MESSAGE : owner, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    messageOnly_ = messageOnly;
    windows()[hwnd_] = this;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::windowProc));
    fitClient(clientWidth, clientHeight);
}

void FormWindow::keepCaption(const char* name, const char* caption) { captions_[name] = cp1252::fromUtf8(caption); }

void FormWindow::joinDesktop() {
    if (!messageOnly_) return;
    messageOnly_ = false;
    SetParent(hwnd_, nullptr);  // a window of the desktop, where it already has its size and place
}

HWND FormWindow::dialogOwner() {
    if (HWND active = GetActiveWindow()) return active;
    for (const auto& [hwnd, window] : windows())
        if (window->messageOnly_) {
            window->joinDesktop();
            return hwnd;
        }
    return nullptr;
}

void FormWindow::buildControls() {
    if (!build_) return;
    joinDesktop();
    commonControls();
    const std::function<void()> build = std::move(build_);
    build_ = nullptr;
    build();
    // What was set meanwhile.
    for (const auto& [name, text] : textsSet_) setText(name, text);
    for (const auto& [name, text] : tipsSet_) setTip(name, text);
    captions_.clear();
    textsSet_.clear();
    tipsSet_.clear();
    if (onControlsBuilt) onControlsBuilt();
}

void FormWindow::showTooltips() {
    if (tooltip_) return;
    commonControls();
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
    for (auto& [control, text] : tips_) applyTip(control);
}

void FormWindow::applyTip(HWND control) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = tips_[control].data();
    // Added the first time, changed after.
    SendMessageA(tooltip_, tipped_.insert(control).second ? TTM_ADDTOOLA : TTM_UPDATETIPTEXTA, 0,
                 reinterpret_cast<LPARAM>(&info));
}

void FormWindow::fitClient(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)), GetMenu(hwnd_) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Centred over the owner, or on the screen.
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    RECT area;
    if (owner && IsWindowVisible(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring clipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void setClipboardText(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
        auto* p = static_cast<wchar_t*>(GlobalLock(data));
        std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
        GlobalUnlock(data);
        if (!SetClipboardData(CF_UNICODETEXT, data)) GlobalFree(data);
    }
    CloseClipboard();
}

void FormWindow::addControl(ControlKind kind, const char* name, const char* parent, const char* caption,
                            const char* tip, const TwipRect& place, unsigned style, double points,
                            std::function<void()> onClick) {
    // A control in a frame is the frame's child, so it moves with it; the
    // frame passes its notifications on to the window.
    HWND container = *parent ? controls_.at(parent) : hwnd_;
    const ControlClass cls = classOf(kind, style);
    const int id = nextId_++;
    // A drop-down list's height holds its open list too.
    const int height = twipsToScreen(place.height) * (kind == ControlKind::DropDown ? 8 : 1);
    const DWORD exStyle = cls.exStyle | (kind == ControlKind::Frame ? WS_EX_CONTROLPARENT : 0);
    const DWORD windowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | cls.style;
    const auto menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    // Boxes one types in are Unicode controls, so that they keep every
    // character typed or pasted (a view may read them wide); the rest
    // speak 1252.
    const bool typedIn = kind == ControlKind::Editor || kind == ControlKind::Field;
    const bool ownEditor = kind == ControlKind::Editor && editorClass;
    HWND w = typedIn
                 ? CreateWindowExW(exStyle, ownEditor ? editorClass : L"EDIT", L"",
                                   ownEditor ? WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL
                                             : windowStyle, twipsToScreen(place.x), twipsToScreen(place.y),
                                   twipsToScreen(place.width), height, container, menuId, GetModuleHandleW(nullptr),
                                   nullptr)
                 : CreateWindowExA(exStyle, cls.className, cp1252::fromUtf8(caption).c_str(), windowStyle,
                                   twipsToScreen(place.x), twipsToScreen(place.y), twipsToScreen(place.width), height,
                                   container, menuId, GetModuleHandleA(nullptr), nullptr);
    if (typedIn && *caption) SetWindowTextA(w, cp1252::fromUtf8(caption).c_str());
    if (kind == ControlKind::Frame) subclassControl(w, &forwardToWindow, 0, 0);
    // Each control lies over the ones made before it (the system would put
    // it under them), as a caption over a notice in the about box does.
    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(proportionalFont(points, style & Bold)), FALSE);
    if (kind == ControlKind::Icon) SendMessageA(w, STM_SETICON, reinterpret_cast<WPARAM>(programIcon(32)), 0);
    if ((style & DefaultButton) && kind == ControlKind::Button) defaultId_ = id;
    if (*name) controls_[name] = w;
    if (style & Overlay) {
        // A label's background hides what lies under it: it is made as
        // narrow as its text.
        HDC dc = GetDC(w);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)));
        const std::string text = cp1252::fromUtf8(caption);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(w, dc);
        SetWindowPos(w, nullptr, 0, 0, std::min(static_cast<int>(size.cx) + 1, twipsToScreen(place.width)), height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (cls.style & WS_TABSTOP) tabOrder_.emplace_back(container, id);
    if (onClick) clicks_[id] = std::move(onClick);
    if (*tip) tips_[w] = cp1252::fromUtf8(tip);
}

void FormWindow::destroy() {
    if (!hwnd_) return;
    for (auto& [id, timer] : timers_) KillTimer(hwnd_, id);
    timers_.clear();
    windows().erase(hwnd_);
    HWND h = hwnd_;
    hwnd_ = nullptr;
    modal_ = false;
    DestroyWindow(h);
    controls_.clear();
    tabOrder_.clear();
    clicks_.clear();
    defaultId_ = 0;
    nextId_ = 1000;
    focus_ = nullptr;
    build_ = nullptr;
    messageOnly_ = false;
    captions_.clear();
    textsSet_.clear();
    tipsSet_.clear();
    tooltip_ = nullptr;  // went with the window it belongs to
    tips_.clear();
    tipped_.clear();
}

HWND FormWindow::control(const std::string& name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

std::string FormWindow::text(const std::string& name) const {
    if (build_) {
        auto set = textsSet_.find(name);
        if (set != textsSet_.end()) return set->second;
        auto caption = captions_.find(name);
        return caption == captions_.end() ? std::string() : caption->second;
    }
    HWND w = control(name);
    if (!w) return {};
    std::string s(static_cast<std::size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    s.resize(static_cast<std::size_t>(GetWindowTextA(w, s.data(), static_cast<int>(s.size()))));
    return s;
}

std::wstring FormWindow::wideText(const std::string& name) const {
    HWND w = control(name);
    if (!w) return {};
    std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(w, s.data(), static_cast<int>(s.size()))));
    return s;
}

void FormWindow::setWideText(const std::string& name, const std::wstring& text) {
    if (HWND w = control(name)) SetWindowTextW(w, text.c_str());
}

void FormWindow::setText(const std::string& name, const std::string& text1252) {
    if (build_ && captions_.count(name)) textsSet_[name] = text1252;
    if (HWND w = control(name)) SetWindowTextA(w, text1252.c_str());
}

void FormWindow::setTip(const std::string& name, const std::string& text1252) {
    if (build_ && captions_.count(name)) tipsSet_[name] = text1252;
    HWND w = control(name);
    if (!w) return;
    tips_[w] = text1252;
    if (tooltip_) applyTip(w);
}

bool FormWindow::checked(const std::string& name) const {
    HWND w = control(name);
    return w && SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormWindow::setDefaultButton(const std::string& name) {
    HWND w = control(name);
    defaultId_ = w ? GetDlgCtrlID(w) : 0;
}

void FormWindow::runModal() {
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    modal_ = true;  // before showing: the activation that showing brings belongs to the modal window
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    MSG msg;
    bool quit = false;
    while (modal_ && hwnd_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = true;
            break;
        }
        if (!dialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    modal_ = false;
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
    if (owner && IsWindowVisible(owner)) SetForegroundWindow(owner);
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

void FormWindow::setTimer(UINT_PTR id, UINT ms, std::function<void()> onTick) {
    timers_[id] = std::move(onTick);
    SetTimer(hwnd_, id, ms, nullptr);
}

void FormWindow::killTimer(UINT_PTR id) {
    if (hwnd_) KillTimer(hwnd_, id);
    timers_.erase(id);
}

HWND FormWindow::nextTabStop(HWND from, bool forward) const {
    // The tab stop that is `from` or holds it (a drop-down's own edit box).
    std::vector<HWND> stops;
    for (const auto& [container, id] : tabOrder_) stops.push_back(GetDlgItem(container, id));
    auto at = std::find_if(stops.begin(), stops.end(), [from](HWND w) { return w && (w == from || IsChild(w, from)); });
    const std::size_t n = stops.size();
    std::size_t i = at == stops.end() ? (forward ? n - 1 : 0) : static_cast<std::size_t>(at - stops.begin());
    for (std::size_t step = 0; step < n; ++step) {
        i = forward ? (i + 1) % n : (i + n - 1) % n;
        HWND w = stops[i];
        if (w && IsWindowVisible(w) && IsWindowEnabled(w)) return w;
    }
    return nullptr;
}

bool FormWindow::dialogMessage(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    // Tab and Shift+Tab walk the form's order. The system's dialog keys walk
    // the stacking order instead, which is the reverse: each control is put
    // over the ones made before it.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        HWND focus = GetFocus();
        const LONG_PTR style = focus ? GetWindowLongPtrW(focus, GWL_STYLE) : 0;
        wchar_t cls[16] = {};
        if (focus) GetClassNameW(focus, cls, 16);
        // A multi-line box one can type in takes Tab as a character, and so
        // does a control that asks for it.
        const bool typesTab = (lstrcmpiW(cls, L"Edit") == 0 && (style & ES_MULTILINE) && !(style & ES_READONLY)) ||
                              (lstrcmpiW(cls, L"Edit") != 0 && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB));
        if (!typesTab) {
            if (HWND next = nextTabStop(focus, GetKeyState(VK_SHIFT) >= 0)) {
                SetFocus(next);
                wchar_t nextClass[16] = {};
                GetClassNameW(next, nextClass, 16);
                if (lstrcmpiW(nextClass, L"Edit") == 0) SendMessageW(next, EM_SETSEL, 0, -1);
            }
            return true;
        }
    }
    return IsDialogMessageW(hwnd_, &msg);
}

namespace {
std::function<void(const std::string&)>& escapedErrorHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}
}  // namespace

void setEscapedErrorHandler(std::function<void(const std::string&)> handler) {
    escapedErrorHandler() = std::move(handler);
}

void reportEscapedError(const char* what) noexcept {
    try {
        if (escapedErrorHandler())
            escapedErrorHandler()(what);
        else
            messageBox(nullptr, std::string(what), std::string("Torvic"), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing more can be said; the program still goes on.
    }
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || self->hwnd_ != hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
    return guardedProcedure([&] { return self->handle(message, wParam, lParam); }, 0);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (onMessage && onMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDCANCEL) {
                if (onEscape)
                    onEscape();
                else
                    endModal();
                return 0;
            }
            if (id == IDOK) {
                if (defaultId_) {
                    auto it = clicks_.find(defaultId_);
                    if (it != clicks_.end()) it->second();
                }
                return 0;
            }
            if (HIWORD(wParam) == BN_CLICKED) {
                auto it = clicks_.find(id);
                if (it != clicks_.end()) {
                    const std::function<void()> click = it->second;  // the handler may remake the window
                    click();
                    return 0;
                }
            }
            break;
        }
        case WM_ACTIVATE:
            // The focus comes back to the control that had it, as in a dialog.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) focus_ = focus;
            } else if (focus_ && IsWindow(focus_) && IsChild(hwnd_, focus_)) {
                SetFocus(focus_);
                return 0;
            }
            break;
        case WM_SHOWWINDOW:
            // The controls still to make and the tooltips are made when the
            // window is first shown: a hidden run never needs them.
            if (wParam) {
                buildControls();
                showTooltips();
            }
            break;
        case DM_GETDEFID:
            return defaultId_ ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
        case WM_TIMER: {
            auto it = timers_.find(wParam);
            if (it != timers_.end()) {
                const std::function<void()> tick = it->second;
                tick();
            }
            return 0;
        }
        case WM_CLOSE:
            if (onClose)
                onClose();
            else if (onEscape)
                onEscape();
            else
                endModal();
            return 0;
        default: break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

namespace {

// One message through the accelerators of `window`, the dialog keys of the
// form window it is for, or the window procedure. Messages travel wide, so
// that a Unicode control (the editors) gets every character typed; the
// system hands the others their 1252 form.
void dispatch(MSG& msg, HWND window, HACCEL accelerators) {
    if (accelerators && window && (msg.hwnd == window || IsChild(window, msg.hwnd)) &&
        TranslateAcceleratorW(window, accelerators, &msg))
        return;
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    auto it = root ? windows().find(root) : windows().end();
    if (it != windows().end() && it->second->dialogMessage(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

bool pumpMessages(HWND window, HACCEL accelerators) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        dispatch(msg, window, accelerators);
    }
    return true;
}

int messageLoop(HWND window, HACCEL accelerators) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) dispatch(msg, window, accelerators);
    return static_cast<int>(msg.wParam);
}

}  // namespace torvic::win32
