#include "editor/win32/main_window_win32.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "editor/main_window_form.h"
#include "editor/win32/foreground_win32.h"
#include "base/win32/message_box_win32.h"
#include "platform/conventions.h"
#include "platform/files.h"
#include "platform/windows/wide_text.h"

namespace torvic::win32 {
namespace {

// A shortcut of the form ("Ctrl+N", "Shift+F5", "F1") as an accelerator.
bool acceleratorOf(const std::string& shortcut, WORD command, ACCEL& accel) {
    accel = {FVIRTKEY, 0, command};
    std::size_t start = 0;
    while (true) {
        const std::size_t plus = shortcut.find('+', start);
        const std::string part = shortcut.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (plus == std::string::npos) {
            if (part.size() == 1)
                accel.key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(part[0])));
            else if (part.size() >= 2 && part[0] == 'F')
                accel.key = static_cast<WORD>(VK_F1 + std::stoi(part.substr(1)) - 1);
            return accel.key != 0;
        }
        if (part == "Ctrl") accel.fVirt |= FCONTROL;
        if (part == "Shift") accel.fVirt |= FSHIFT;
        if (part == "Alt") accel.fVirt |= FALT;
        start = plus + 1;
    }
}

UINT boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return MB_ICONINFORMATION;
        case MessageIcon::Exclamation: return MB_ICONEXCLAMATION;
        case MessageIcon::Critical: return MB_ICONHAND;
        default: return 0;
    }
}

// The buttons of the unsaved-work question get their own captions as the
// box opens.
void renameSaveButtons(HWND box) {
    SetDlgItemTextA(box, IDYES, "Guardar");
    SetDlgItemTextA(box, IDNO, "No guardar");
    SetDlgItemTextA(box, IDCANCEL, L1252("Cancel·lar").c_str());
}

// UTF-8 (the system's names, the editor's text without loss) as the wide
// API takes it, and back.
using win::wide;
std::string fromWide(std::wstring_view text) { return win::utf8(text); }

// "description|pattern|..." as the common dialog's pairs of strings.
std::wstring dialogFilter(const std::string& filter) {
    std::wstring out = wide(cp1252::toUtf8(filter));
    std::replace(out.begin(), out.end(), L'|', L'\0');
    return out + std::wstring(2, L'\0');
}

// The common file dialogs, wide: their names are the system's.
std::string fileDialog(HWND owner, const std::string& startDirectory, const std::string& fileName,
                       const std::string& filter, bool save) {
    std::vector<wchar_t> file(4096, L'\0');
    const std::wstring name = wide(fileName);
    name.copy(file.data(), std::min(name.size(), file.size() - 1));
    const std::wstring pairs = dialogFilter(filter);
    const std::wstring directory = wide(startDirectory);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = pairs.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
    // The common dialogs are loaded when first used: a hidden run starts without them.
    static HMODULE library = LoadLibraryA("comdlg32.dll");
    const auto dialog =
        procedure<BOOL(WINAPI*)(OPENFILENAMEW*)>(library, save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    const BOOL chosen = dialog && dialog(&ofn);
    return chosen ? fromWide(file.data()) : std::string();
}

// A label as tall as its text, below any button it overlaps and above its
// frame's bottom border: the design's label boxes reach into both, and a
// label paints its whole box.
void fitLabel(HWND label) {
    HWND frame = GetParent(label);
    RECT r, inside;
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(frame, &inside);
    const TEXTMETRICA metrics = controlFontMetrics(label);
    const int height = std::min<int>(metrics.tmHeight, r.bottom - r.top);
    int top = r.top;
    for (HWND w = GetWindow(frame, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        RECT b;
        GetWindowRect(w, &b);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&b), 2);
        if (w != label && lstrcmpiA(cls, "Button") == 0 && b.left < r.right && r.left < b.right && b.top < top &&
            top < b.bottom)
            top = b.bottom;
    }
    top = std::min<int>(top, inside.bottom - 2 - height);
    SetWindowPos(label, nullptr, r.left, top, r.right - r.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

MainWindowWin32::MainWindowWin32() {
    // The controls are made when the window is first shown: a hidden run
    // (/exec) never needs them.
    window_.editorClass = ScriptBox::className();
    window_.create(mainWindowForm(), &torvic_, nullptr, WS_OVERLAPPEDWINDOW, nullptr, true);
    window_.onControlsBuilt = [this] { setUpControls(); };
    yellow_ = CreateSolidBrush(RGB(255, 255, 128));
    buildMenus();
    window_.fitClient(twipsToScreen(mainWindowForm().width), twipsToScreen(mainWindowForm().height));
    window_.onEscape = [this] {
        if (torvic_) torvic_->onEnd();  // the out-of-sight "End" button is the cancel button
    };
    window_.onClose = [this] {
        if (torvic_ && !torvic_->ended()) torvic_->onEnd();
    };
    window_.onMessage = [this](UINT m, WPARAM w, LPARAM l, LRESULT& r) { return onMessage(m, w, l, r); };
}

void MainWindowWin32::setUpControls() {
    SendMessageA(control("Text3"), WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont(12)), FALSE);
    // The editor box (which already holds the text) reports its keys and
    // clicks to the caret tracking.
    box_.attach(
        control("Text1"),
        [](void* self) {
            if (auto* w = static_cast<MainWindowWin32*>(self); w->torvic_) w->torvic_->onEditorKeyUp();
        },
        [](void* self) {
            if (auto* w = static_cast<MainWindowWin32*>(self); w->torvic_) w->torvic_->onEditorClick();
        },
        this);
    SendMessageW(control("Text1"), WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont(9.75)), FALSE);
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8"})
        fitLabel(control(name));
    // What was set while there were no controls.
    setText4(window_.text("Text4"));
    setRunButtonsEnabled(!runOn_);
    if (endOutOfSight_) moveEndButtonOutOfSight();
    if (layoutKept_) layoutToClient();
    SetFocus(control("Text1"));
}

MainWindowWin32::~MainWindowWin32() {
    removeNotificationIcon();
    window_.destroy();
    if (menuBar_) DestroyMenu(menuBar_);
    if (rcPopup_) DestroyMenu(rcPopup_);
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    if (yellow_) DeleteObject(yellow_);
    for (auto& [height, font] : smallerFonts_) DeleteObject(font);
}

void MainWindowWin32::buildMenus() {
    menuBar_ = CreateMenu();
    std::vector<ACCEL> accels;
    UINT nextId = 2000;
    for (const FormMenu& m : mainWindowMenus()) {
        HMENU menu = CreatePopupMenu();
        if (m.popup)
            rcPopup_ = menu;  // RCpopup, the icon's menu, is never in the menu bar
        else
            AppendMenuA(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), L1252(m.caption).c_str());
        for (const FormMenuItem& item : m.items) {
            if (std::string_view(item.caption) == "-") {
                AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            const UINT id = nextId++;
            std::string caption = L1252(item.caption);
            if (*item.shortcut) caption += std::string("\t") + item.shortcut;
            AppendMenuA(menu, MF_STRING | (item.checked ? MF_CHECKED : 0), id, caption.c_str());
            menuHandlers_[id] = item.handler;
            menuIds_[item.name] = id;
            ACCEL accel;
            if (*item.shortcut && acceleratorOf(item.shortcut, static_cast<WORD>(id), accel)) accels.push_back(accel);
        }
    }
    SetMenu(hwnd(), menuBar_);
    accelerators_ = CreateAcceleratorTableA(accels.data(), static_cast<int>(accels.size()));
}

void MainWindowWin32::show() {
    window_.buildControls();
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    UpdateWindow(hwnd());
    SetForegroundWindow(hwnd());
    SetFocus(control("Text1"));
}

bool MainWindowWin32::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!torvic_) return false;
    switch (message) {
        case WM_COMMAND: {
            const UINT id = LOWORD(wParam);
            auto item = menuHandlers_.find(id);
            if (lParam == 0 && item != menuHandlers_.end()) {  // a menu item or its accelerator
                if (item->second) (torvic_->*(item->second))();
                return true;
            }
            if (reinterpret_cast<HWND>(lParam) == control("Text1") && HIWORD(wParam) == EN_CHANGE) {
                torvic_->onEditorChange();
                return true;
            }
            if (id == IDOK && GetFocus() == control("Text2")) {  // Enter in the file name
                torvic_->onFileNameKeyPress(13);
                return true;
            }
            return false;
        }
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                minimised_ = true;
                return true;
            }
            if (minimised_) {
                minimised_ = false;
                torvic_->restoreFromNotificationArea();
            }
            if (status_) SendMessageA(status_, WM_SIZE, 0, 0);
            layoutToClient();
            return true;
        case WM_GETMINMAXINFO: {
            const Rect smallest = minimumClientSize();
            RECT r{0, 0, designToScreen(smallest.width), designToScreen(smallest.height)};
            AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, 0);
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {r.right - r.left, r.bottom - r.top};
            return true;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == control("Text4")) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetBkColor(dc, text4Yellow_ ? RGB(255, 255, 128) : RGB(255, 255, 255));
                result = reinterpret_cast<LRESULT>(text4Yellow_ ? yellow_ : GetStockObject(WHITE_BRUSH));
                return true;
            }
            return false;
        case WM_ACTIVATE:
            // Back at the front: asked once the activation is over.
            if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(hwnd(), kActivatedMessage, 0, 0);
            return false;
        case kActivatedMessage:
            if (GetActiveWindow() == hwnd()) torvic_->onWindowActivated();
            return true;
        case WM_QUERYENDSESSION:
            // The session ends: the work not yet saved is kept first,
            // whatever the answer to the question that may follow.
            torvic_->writeRecoveryNow();
            return false;
        case WM_ENDSESSION:
            if (wParam) torvic_->writeRecoveryNow();
            return false;
        case kWriteRecoveryMessage:
            torvic_->writeRecoveryNow();
            if (lParam) SetEvent(reinterpret_cast<HANDLE>(lParam));
            return true;
        case kTrayMessage:
            if (lParam == WM_RBUTTONUP) {
                // In front first, or the menu would not close when the user clicks elsewhere.
                POINT at;
                GetCursorPos(&at);
                SetForegroundWindow(hwnd());
                TrackPopupMenu(rcPopup_, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
                PostMessageA(hwnd(), WM_NULL, 0, 0);
            } else if (lParam == WM_LBUTTONDBLCLK) {
                torvic_->iconDoubleClicked();
            }
            return true;
        default: return false;
    }
}

void MainWindowWin32::layoutToClient() {
    layoutKept_ = !window_.controlsBuilt();
    if (layoutKept_) return;
    RECT client;
    GetClientRect(hwnd(), &client);
    int height = client.bottom;
    if (status_ && IsWindowVisible(status_)) {
        RECT bar;
        GetWindowRect(status_, &bar);
        height -= bar.bottom - bar.top;
    }
    torvic_->onResize(screenToDesign(client.right), screenToDesign(height));
}

std::string MainWindowWin32::editorText() { return utf8To1252(editorTextUtf8()); }

void MainWindowWin32::setEditorText(const std::string& text) { setEditorTextUtf8(cp1252::toUtf8(text)); }

// A copy taken around the gap: moving the gap to the end would cost the next
// key a move of the whole text back.
std::string MainWindowWin32::editorTextUtf8() { return box_.text().slice(0, box_.text().size()); }

void MainWindowWin32::setEditorTextUtf8(std::string text) { box_.setText(std::move(text)); }

void MainWindowWin32::replaceEditorTextUtf8(const std::string& text) { box_.replaceAll(text); }

std::size_t MainWindowWin32::editorCaret() { return box_.editing().caretCharacters(); }

MainWindowView::CaretLine MainWindowWin32::editorCaretLine() {
    const ScriptEditing::CaretLine at = box_.editing().caretLine();
    return {static_cast<int>(at.line), static_cast<int>(at.column), utf8To1252(at.text)};
}

bool MainWindowWin32::editorHoldsAfterCaretLine(char c) {
    return box_.editing().holdsAfterCaretLine(cp1252::toUtf8(std::string(1, c)));
}

void MainWindowWin32::focusEditor() {
    // While a run is on, the window the script chose keeps the front.
    if ((runOn_ && GetForegroundWindow() != hwnd()) || !window_.controlsBuilt()) return;
    SetForegroundWindow(hwnd());
    SetFocus(control("Text1"));
}

void MainWindowWin32::setText4(const std::string& text) {
    // The field shows what its width holds (the tip shows the whole line):
    // the system's edit box takes time that grows with the square of a long
    // line each time it is set, which a run does at screen rate.
    HWND field = control("Text4");
    if (!field) return window_.setText("Text4", text);
    RECT r;
    GetClientRect(field, &r);
    const TEXTMETRICA metrics = controlFontMetrics(field);
    const auto room = static_cast<std::size_t>(2 * r.right / std::max<LONG>(1, metrics.tmAveCharWidth) + 16);
    window_.setText("Text4", text.size() <= room ? text : text.substr(0, room) + "\x85");  // an ellipsis
    SendMessageA(control("Text4"), EM_SETSEL, 0, 0);  // a long hint shows its start
}

void MainWindowWin32::setText4Highlighted(bool lightYellow) {
    text4Yellow_ = lightYellow;
    if (HWND field = control("Text4")) InvalidateRect(field, nullptr, TRUE);
}

void MainWindowWin32::setCaretLabels(const std::string& line, const std::string& column) {
    fitNumber("Label5", line);
    fitNumber("Label6", column);
}

void MainWindowWin32::fitNumber(const char* name, const std::string& text) {
    window_.setText(name, text);
    HWND label = control(name);
    if (!label) return;
    // A number wider than its label (a line past a million) is written
    // smaller rather than running into the caption beside it.
    if (!labelFont_) labelFont_ = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    RECT room;
    GetClientRect(label, &room);
    HDC dc = GetDC(label);
    HFONT chosen = labelFont_;
    LOGFONTW lf{};
    GetObjectW(labelFont_, sizeof lf, &lf);
    for (int shrink = 0;; ++shrink) {
        HGDIOBJ old = SelectObject(dc, chosen);
        SIZE need{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &need);
        SelectObject(dc, old);
        if (need.cx <= room.right || std::abs(lf.lfHeight) <= 6) break;
        lf.lfHeight += lf.lfHeight < 0 ? 1 : -1;
        lf.lfWidth = 0;
        auto& smaller = smallerFonts_[lf.lfHeight];
        if (!smaller) smaller = CreateFontIndirectW(&lf);
        chosen = smaller;
    }
    ReleaseDC(label, dc);
    if (reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)) != chosen)
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
}

void MainWindowWin32::setRunButtonsEnabled(bool enabled) {
    runOn_ = !enabled;
    for (const char* name : {"Command3", "Command8", "Command9"}) EnableWindow(control(name), enabled);
}

void MainWindowWin32::repaintNow() {
    for (const char* name : {"Text3", "Text4"})
        if (HWND field = control(name)) RedrawWindow(field, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void MainWindowWin32::setVisible(bool visible) {
    if (visible) window_.buildControls();
    ShowWindow(hwnd(), visible ? SW_SHOW : SW_HIDE);
    if (visible) SetForegroundWindow(hwnd());
}

void MainWindowWin32::applyLayout(const std::vector<LayoutStep>& steps) {
    for (const LayoutStep& s : steps) {
        HWND w = control(s.control.c_str());
        if (!w) continue;
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
        int x = r.left, y = r.top, width = r.right - r.left, height = r.bottom - r.top;
        const int pixels = designToScreen(s.pixels);
        switch (s.property) {
            case LayoutStep::Left: x = pixels; break;
            case LayoutStep::Top: y = pixels; break;
            case LayoutStep::Width: width = pixels; break;
            case LayoutStep::Height: height = pixels; break;
        }
        MoveWindow(w, x, y, width, height, TRUE);
    }
}

void MainWindowWin32::moveEndButtonOutOfSight() {
    HWND end = control("Command5");
    endOutOfSight_ = true;
    if (!end) return;
    RECT r;
    GetWindowRect(end, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(end, nullptr, r.left, designToScreen(-20), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindowWin32::startRunTimer(int intervalMs) {
    // The system's timers repeat: this one is a single shot.
    window_.setTimer(kRunTimer, static_cast<UINT>(intervalMs), [this] {
        window_.killTimer(kRunTimer);
        if (torvic_) torvic_->onRunTimer();
    });
}

void MainWindowWin32::messageBox(const std::string& text, const std::string& title, MessageIcon icon,
                                 bool systemModal) {
    const ForegroundKeeper keeper;
    win32::messageBox(isVisible() ? hwnd() : nullptr, text, title,
                      MB_OK | boxIcon(icon) | (systemModal ? MB_SYSTEMMODAL : 0));
}

bool MainWindowWin32::askYesNo(const std::string& text, const std::string& title, MessageIcon icon) {
    const ForegroundKeeper keeper;
    return win32::messageBox(isVisible() ? hwnd() : nullptr, text, title, MB_YESNO | boxIcon(icon)) == IDYES;
}

SaveChoice MainWindowWin32::askSaveChanges(const std::string& text, const std::string& title) {
    const int answer = win32::messageBox(isVisible() ? hwnd() : nullptr, text, title, MB_YESNOCANCEL | MB_ICONQUESTION,
                                         &renameSaveButtons);
    return answer == IDYES ? SaveChoice::Save : answer == IDNO ? SaveChoice::Discard : SaveChoice::Cancel;
}

namespace {

// The captions of askChoice's buttons, given to the box as it opens.
std::vector<std::string> choiceCaptions;
void renameChoiceButtons(HWND box) {
    static const int ids[2][3] = {{IDOK, IDCANCEL, 0}, {IDYES, IDNO, IDCANCEL}};
    const int* row = ids[choiceCaptions.size() == 3 ? 1 : 0];
    for (std::size_t i = 0; i < choiceCaptions.size() && i < 3; ++i) SetDlgItemTextA(box, row[i], choiceCaptions[i].c_str());
}

}  // namespace

int MainWindowWin32::askChoice(const std::string& text, const std::string& title,
                               const std::vector<std::string>& buttons, int defaultButton) {
    // The system's box holds two or three buttons; the last answers Esc
    // (IDCANCEL) there too.
    if (buttons.size() < 2 || buttons.size() > 3) return static_cast<int>(buttons.size()) - 1;
    choiceCaptions = buttons;
    const UINT kind = buttons.size() == 3 ? MB_YESNOCANCEL : MB_OKCANCEL;
    const UINT defaults[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};
    const UINT fallback = buttons.size() == 3 ? MB_DEFBUTTON3 : MB_DEFBUTTON2;
    const UINT def = defaultButton >= 0 && defaultButton < static_cast<int>(buttons.size()) ? defaults[defaultButton] : fallback;
    const int answer = win32::messageBox(isVisible() ? hwnd() : nullptr, text, title, kind | def | MB_ICONQUESTION,
                                         &renameChoiceButtons);
    choiceCaptions.clear();
    switch (answer) {
        case IDOK: case IDYES: return 0;
        case IDNO: return 1;
        default: return static_cast<int>(buttons.size()) - 1;
    }
}

void MainWindowWin32::startRecoveryTimer(int intervalMs) {
    window_.setTimer(kRecoveryTimer, static_cast<UINT>(intervalMs), [this] {
        window_.killTimer(kRecoveryTimer);
        if (torvic_) torvic_->onRecoveryTimer();
    });
}

void MainWindowWin32::openInNewWindow(const std::string& systemFile) {
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (n == 0) return;
        if (n < program.size()) {
            program.resize(n);
            break;
        }
        program.resize(program.size() * 2);
    }
    std::wstring commandLine = L"\"" + program + L"\" /nou \"" + wide(systemFile) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

std::string MainWindowWin32::openFileDialog(const std::string& startDirectory, const std::string& fileName,
                                            const std::string& filter) {
    return fileDialog(hwnd(), startDirectory, fileName, filter, false);
}

std::string MainWindowWin32::saveFileDialog(const std::string& startDirectory, const std::string& fileName,
                                            const std::string& filter) {
    return fileDialog(hwnd(), startDirectory, fileName, filter, true);
}

bool MainWindowWin32::showNotificationIcon(const std::string& tooltip) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd();
    data.uID = 1;
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = programIcon(16);
    tooltip.copy(data.szTip, sizeof data.szTip - 1);
    if (trayShown_) return Shell_NotifyIconA(NIM_MODIFY, &data);
    trayShown_ = Shell_NotifyIconA(NIM_ADD, &data);
    return trayShown_;
}

void MainWindowWin32::removeNotificationIcon() {
    if (!trayShown_) return;
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd();
    data.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &data);
    trayShown_ = false;
}

void MainWindowWin32::setTrayChecks(bool aturat, bool executant) {
    CheckMenuItem(rcPopup_, menuIds_.at("RCPopup_Aturat"), MF_BYCOMMAND | (aturat ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(rcPopup_, menuIds_.at("RCPopup_Executant"), MF_BYCOMMAND | (executant ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindowWin32::resizeForStatus(int delta) {
    if (!IsZoomed(hwnd())) {
        RECT r;
        GetWindowRect(hwnd(), &r);
        SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top + delta, SWP_NOMOVE | SWP_NOZORDER);
    }
    // The frames' transparent labels would keep what was drawn under them.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void MainWindowWin32::clearStatus() {
    if (!status_ || !IsWindowVisible(status_)) return;
    window_.killTimer(kStatusTimer);
    RECT bar;
    GetWindowRect(status_, &bar);
    ShowWindow(status_, SW_HIDE);
    resizeForStatus(-(bar.bottom - bar.top));
}

void MainWindowWin32::showStatus(const std::string& text) {
    // Below the client area, which keeps its size (the window grows by the
    // line), and gone after a while (the window shrinks back).
    window_.buildControls();
    if (!status_)  // made when first needed: most sessions never show one
        status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD, 0, 0, 0, 0, hwnd(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!IsWindowVisible(status_)) {
        ShowWindow(status_, SW_SHOW);
        SendMessageA(status_, WM_SIZE, 0, 0);
        RECT bar;
        GetWindowRect(status_, &bar);
        resizeForStatus(bar.bottom - bar.top);
    }
    SetWindowTextA(status_, text.c_str());
    window_.setTimer(kStatusTimer, static_cast<UINT>(statusMilliseconds), [this] { clearStatus(); });
}

void MainWindowWin32::showManual(const std::string&, bool print) {
    const std::string path = conventions::programFolder() + "\\torvic.rtf";
    const auto done = reinterpret_cast<INT_PTR>(ShellExecuteW(isVisible() ? hwnd() : nullptr, print ? L"print" : L"open",
                                                              wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (done <= 32)
        messageBox("El fitxer " + shownName(path) + " no s'ha pogut obrir.", "Error en trobar un fitxer:",
                   MessageIcon::Critical, false);
}

void MainWindowWin32::endProgram() {
    removeNotificationIcon();
    ShowWindow(hwnd(), SW_HIDE);
    // Posted, so that it also ends a program whose message loop has not started.
    PostQuitMessage(0);
}

}  // namespace torvic::win32
