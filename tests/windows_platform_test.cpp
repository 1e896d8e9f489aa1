// The Windows platform under Wine: key events, failures, the OEM code page,
// names through the wide API, and the registry installation's folders and
// keys.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <imm.h>
#include <oleacc.h>

#include "base/errors.h"
#include "editor/box_colours.h"
#include "editor/win32/main_window_win32.h"
#include "platform/conventions.h"
#include "platform/windows/registry_installation.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_platform.h"
#include "tests/support/fake_views.h"
#include "tests/support/scripted_host.h"

namespace torvic {
namespace {

using Events = std::vector<WindowsPlatform::KeyEvent>;

TEST(WindowsPlatform, KeyEventsUseTheLayoutOrUnicode) {
    // On the US layout: "a" is its key, "A" needs shift, "€" and "à" are not there.
    EXPECT_EQ(WindowsPlatform::keyEvents({{}, "", "a"}), (Events{{'A', 0, false}, {'A', 0, true}}));
    EXPECT_EQ(WindowsPlatform::keyEvents({{}, "", "A"}),
              (Events{{VK_SHIFT, 0, false}, {'A', 0, false}, {'A', 0, true}, {VK_SHIFT, 0, true}}));
    EXPECT_EQ(WindowsPlatform::keyEvents({{}, "", "\x80\xE0"}),
              (Events{{0, 0x20AC, false}, {0, 0x20AC, true}, {0, 0xE0, false}, {0, 0xE0, true}}));
    EXPECT_EQ(WindowsPlatform::keyEvents({{"ctrl", "alt"}, "Delete", ""}),
              (Events{{VK_CONTROL, 0, false}, {VK_MENU, 0, false}, {VK_DELETE, 0, false}, {VK_DELETE, 0, true},
                      {VK_MENU, 0, true}, {VK_CONTROL, 0, true}}));
    EXPECT_EQ(WindowsPlatform::keyEvents({{}, "F12", "", 2}).size(), 4u);
}

// A program that cannot start is a run-time error. (A started program's id,
// through focu: windows_e2e.sh.)
TEST(WindowsPlatform, AProgramThatCannotStartIsARunTimeError) {
    EXPECT_THROW(WindowsPlatform().startProgram("no-such-program.exe", 1), RunTimeError);
}

// The OEM code page's accents become 1252's and back.
TEST(WindowsPlatform, OemCodePageThroughTheSystem) {
    WindowsPlatform platform;
    std::string text = "\x82\x87\x85 A";  // é ç à in the OEM code page
    platform.oemToAnsi(text);
    EXPECT_EQ(text, "\xE9\xE7\xE0 A");
    platform.ansiToOem(text);
    EXPECT_EQ(text, "\x82\x87\x85 A");
}

// ---- names: UTF-8 system names through the wide API ---------------------

bool fileExists(const std::wstring& name) { return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Files named in UTF-8 beyond 1252 are written, replaced and appended to
// by their wide names; a missing copy source throws; appending to a folder
// says so. (Copies by a script's 1252 names: windows_e2e.sh.)
TEST(WindowsNames, FilesAndCopiesByTheirUnicodeNames) {
    test::TempDir tmp;
    const std::wstring dir = win::wide(tmp.path()) + L"\\";
    ASSERT_TRUE(writeFileSafely(tmp / "prova→ő.txt", "x"));
    EXPECT_TRUE(fileExists(dir + L"prova\u2192\u0151.txt"));
    EXPECT_EQ(readFileBytes(tmp / "prova→ő.txt").value_or("<missing>"), "x");
    ASSERT_TRUE(writeFileSafely(tmp / "prova→ő.txt", "yy"));  // replaced by its wide name too
    EXPECT_EQ(readFileBytes(tmp / "prova→ő.txt").value_or("<missing>"), "yy");
    EXPECT_THROW(WindowsPlatform().copyFile(tmp / "Pla\xE7" "a.txt", tmp / "c.txt"), RunTimeError);
    std::string error;
    EXPECT_TRUE(appendFileBytes(tmp / "→.log", "a", &error)) << error;
    EXPECT_TRUE(appendFileBytes(tmp / "→.log", "b", &error)) << error;
    EXPECT_EQ(readFileBytes(tmp / "→.log").value_or("<missing>"), "ab");
    EXPECT_FALSE(appendFileBytes(tmp.path(), "a", &error));
    EXPECT_EQ(error, platform_texts::isAFolder());
}

// Patterns, folders and the current folder by names beyond 1252.
TEST(WindowsNames, FoldersAndPatternsAreSystemNames) {
    test::TempDir tmp;
    const std::string dir = tmp.path() + "\\carpeta→ő";
    ASSERT_TRUE(CreateDirectoryW(win::wide(dir).c_str(), nullptr));
    for (const char* name : {"b→.torvic", "à.torvic", "c.txt", "torvic.rtf"}) ASSERT_TRUE(writeFileSafely(dir + "\\" + name, ""));
    EXPECT_EQ(conventions::firstMatchingFile(dir + "\\*.torvic"), dir + "\\b→.torvic");
    EXPECT_EQ(conventions::firstMatchingFile(dir + "\\?.torvic"), dir + "\\à.torvic");
    EXPECT_EQ(conventions::folderPart(dir + "\\à.torvic"), dir + "\\");
    EXPECT_EQ(conventions::programDataFile(dir, "torvic.rtf"), dir + "\\torvic.rtf");
    EXPECT_EQ(conventions::programDataFile(dir, "no.rtf"), "");
    ASSERT_TRUE(SetCurrentDirectoryW(win::wide(dir).c_str()));
    const std::string current = conventions::currentFolder();
    SetCurrentDirectoryW(win::wide(tmp.path()).c_str());
    EXPECT_EQ(current.substr(current.size() - std::string("carpeta→ő").size()), "carpeta→ő");
    EXPECT_TRUE(fileExists(win::wide(conventions::programFolder()) + L"\\torvic_tests.exe"));
}

// Absolute folders; registering twice then uninstalling twice leaves no
// folder and no key. (The values and shortcuts: win32_setup_e2e.sh.)
TEST(RegistryInstallation, FoldersTwiceOverAndASecondUninstall) {
    test::TempDir tmp;
    const std::string root = "Software\\TorvicTest";
    win::RegistryInstallation system({tmp / "src", "c:\\Program Files\\Torvic\\", tmp.path(), tmp.path(),
                                      root + "\\Classes", root + "\\Uninstall\\Torvic"});
    const std::pair<const char*, bool> dirs[] = {
        {"c:\\Torvic\\", true}, {"D:\\", true}, {"c:prova", false}, {"prova\\", false}, {"\\\\servidor\\prova", false}, {"", false}};
    for (const auto& [typed, absolute] : dirs) EXPECT_EQ(system.isAbsoluteDirectory(typed), absolute) << typed;

    const std::string dir = tmp / "Program Files" + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    for (int round = 0; round < 2; ++round) system.registerInstallation(dir);
    EXPECT_EQ(system.installedDirectory(), dir);
    EXPECT_EQ(system.uninstall(), dir);
    EXPECT_EQ(GetFileAttributesA(dir.c_str()), INVALID_FILE_ATTRIBUTES);  // emptied, so removed
    EXPECT_EQ(system.installedDirectory(), "");
    EXPECT_EQ(system.uninstall(), "");  // nothing left to remove
    HKEY left = nullptr;  // the keys it made went too, once empty
    for (const char* key : {"\\Classes", "\\Uninstall"})
        EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (root + key).c_str(), 0, KEY_READ, &left), ERROR_SUCCESS) << key;
    RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
}

// The editor box and the line field "Línia d'execució" are fixed-pitch even
// where "Courier New" is missing (as in a plain Wine prefix).
TEST(Win32Views, EditorBoxesAreFixedPitch) {
    win32::MainWindowWin32 window;
    EXPECT_EQ(window.control("Text1"), nullptr);  // made as the window is first shown: a hidden run has none
    window.show();
    HDC dc = GetDC(nullptr);
    for (const char* name : {"Text1", "Text3"}) {
        const auto font = reinterpret_cast<HFONT>(SendMessageA(window.control(name), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr) << name;
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA metrics{};
        ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
        SelectObject(dc, old);
        EXPECT_FALSE(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) << name << " is proportional";
    }
    ReleaseDC(nullptr, dc);
}

std::wstring wholeText(HWND w) {
    std::wstring all(static_cast<std::size_t>(SendMessageW(w, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    all.resize(static_cast<std::size_t>(SendMessageW(w, WM_GETTEXT, all.size(), reinterpret_cast<LPARAM>(all.data()))));
    return all;
}

std::string repeated(const std::string& line, int times) {
    std::string all;
    while (times-- > 0) all += line;
    return all;
}

// The main window shown, its editor box and the box font's measures.
class Win32EditorBox : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        box = window.control("Text1");
        HDC dc = GetDC(box);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &metrics);
        GetTextExtentPoint32W(dc, L"M", 1, &cell);
        SelectObject(dc, old);
        ReleaseDC(box, dc);
    }
    win32::ScriptBox& script() { return window.editorBox(); }
    ScriptText& text() { return window.editorBox().text(); }
    void click(LPARAM at) {
        SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(box, WM_LBUTTONUP, 0, at);
    }
    win32::MainWindowWin32 window;
    HWND box = nullptr;
    TEXTMETRICW metrics{};
    SIZE cell{};
};

// Typed characters (one beyond 16 bits in two halves), Enter as CR LF,
// Backspace over the emoji whole, WM_GETTEXT, undo in its steps, the dialog
// keys it takes (not Esc, the window's "End"), and a drag held above the box
// going on upwards a line a tick.
TEST_F(Win32EditorBox, TypesWholeCharactersUndoesAndDrags) {
    script().setText("beep\r\nwait(1)");
    script().setCaret(4, 4);
    for (wchar_t c : std::wstring(L"x\xD83D\xDE00\r")) SendMessageW(box, WM_CHAR, c, 0);
    EXPECT_EQ(text().text(), "beepx\xF0\x9F\x98\x80\r\n\r\nwait(1)");
    for (int i = 0; i < 2; ++i) SendMessageW(box, WM_KEYDOWN, VK_BACK, 0);  // the line break, the emoji whole
    EXPECT_EQ(text().text(), "beepx\r\nwait(1)");
    EXPECT_EQ(wholeText(box), L"beepx\r\nwait(1)");
    int steps = 0;
    while (SendMessageW(box, WM_UNDO, 0, 0) && steps < 10) ++steps;
    EXPECT_EQ(steps, 3);  // the typing, the line break, the run of Backspace
    EXPECT_EQ(text().text(), "beep\r\nwait(1)");
    EXPECT_FALSE(*script().modified());
    MSG enter{box, WM_KEYDOWN, VK_RETURN, 0, 0, {}}, escape{box, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(SendMessageW(box, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE);
    EXPECT_FALSE(SendMessageW(box, WM_GETDLGCODE, VK_ESCAPE, reinterpret_cast<LPARAM>(&escape)) & DLGC_WANTMESSAGE);
    EXPECT_TRUE(SendMessageW(box, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);

    script().setText(repeated("beep\r\n", 300));
    script().setCaret(text().lineStart(200), text().lineStart(200));  // scrolled down to it
    RECT client;
    GetClientRect(box, &client);
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, client.bottom / 2));
    const std::size_t anchor = text().anchor;
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, static_cast<WORD>(-5)));
    const std::size_t above = text().lineOf(text().caret);  // the line above the box
    EXPECT_LT(above, text().lineOf(anchor));
    // The drag timer's ticks (id 1), sent: the display's own pointer would move the drag.
    for (int i = 0; i < 10; ++i) SendMessageW(box, WM_TIMER, 1, 0);
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(20, static_cast<WORD>(-5)));
    EXPECT_EQ(text().anchor, anchor);
    EXPECT_EQ(text().lineOf(text().caret) + 10, above);
}

// Tab and Shift+Tab stay in the box, Ctrl+Tab leaves it; a double click
// and a drag take words, three clicks the line; the input method's window
// stands at the caret; the wheel adds up part notches, scrolls a page where
// the desktop says so, and sideways with Shift.
TEST_F(Win32EditorBox, TabsClicksInputMethodAndTheWheel) {
    const struct { bool ctrl, shift, wants; } tabs[] = {
        {false, false, true}, {false, true, true}, {true, false, false}, {true, true, false}};
    BYTE saved[256]{};
    GetKeyboardState(saved);
    for (const auto& t : tabs) {
        BYTE keys[256];
        std::copy(std::begin(saved), std::end(saved), keys);
        keys[VK_CONTROL] = t.ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = t.shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG tab{box, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_EQ((SendMessageW(box, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTTAB) != 0, t.wants)
            << "ctrl " << t.ctrl << " shift " << t.shift;
    }
    SetKeyboardState(saved);

    script().setText("wait(10) beep\r\nsend(abc) wait(5)\r\nend");
    int left = 0;  // the gutter's width: the first x where a click moves the caret
    for (click(MAKELPARAM(0, 1)); text().caret == 0 && left < 200;) click(MAKELPARAM(++left, 1));
    left -= static_cast<int>(cell.cx) / 2;  // where column 0 starts
    auto at = [&](int column, int row) {
        return MAKELPARAM(left + column * cell.cx + cell.cx / 3, row * metrics.tmHeight + metrics.tmHeight / 2);
    };
    auto selected = [&] { return text().slice(text().selectionStart(), text().selectionEnd()); };
    click(at(1, 0));
    SendMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, at(1, 0));
    EXPECT_EQ(selected(), "wait");
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, at(11, 0));
    EXPECT_EQ(selected(), "wait(10) beep");
    SendMessageW(box, WM_LBUTTONUP, 0, at(11, 0));
    click(at(2, 1));
    SendMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, at(2, 1));
    SendMessageW(box, WM_LBUTTONUP, 0, at(2, 1));
    click(at(2, 1));
    EXPECT_EQ(selected(), "send(abc) wait(5)\r\n");

    SetFocus(box);
    if (GetFocus() == box) {
        script().setCaret(20, 20);  // line 1, column 5
        POINT caret{};
        GetCaretPos(&caret);
        HIMC context = ImmGetContext(box);
        ASSERT_NE(context, nullptr);
        COMPOSITIONFORM form{};
        ASSERT_TRUE(ImmGetCompositionWindow(context, &form));
        ImmReleaseContext(box, context);
        EXPECT_EQ(form.ptCurrentPos.x, caret.x + 1);
        EXPECT_EQ(form.ptCurrentPos.y, caret.y);
        EXPECT_EQ(caret.y, metrics.tmHeight);
    } else {
        ADD_FAILURE() << "the box did not take the focus";
    }

    script().setText(repeated(std::string(400, 'x') + "\r\n", 300));
    auto position = [this](int bar) {
        SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
        GetScrollInfo(box, bar, &si);
        return si.nPos;
    };
    auto wheel = [this](WORD keys, int delta) { SendMessageW(box, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)), 0); };
    UINT linesBefore = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesBefore, 0);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
    for (int i = 0; i < 8; ++i) wheel(0, -30);
    EXPECT_EQ(position(SB_VERT), 6);  // two notches in quarters, three lines each
    wheel(0, WHEEL_DELTA);
    EXPECT_EQ(position(SB_VERT), 3);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
    RECT client;
    GetClientRect(box, &client);
    wheel(0, -WHEEL_DELTA);
    EXPECT_EQ(position(SB_VERT), 3 + client.bottom / metrics.tmHeight);  // a page, not the end
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, linesBefore, nullptr, 0);
    const int down = position(SB_VERT);
    wheel(MK_SHIFT, -WHEEL_DELTA);
    EXPECT_GT(position(SB_HORZ), 0);
    EXPECT_EQ(position(SB_VERT), down);
}

// On a dark, a high-contrast and a light scheme, keywords and comments are
// drawn readable on the box's ground (the ink farthest from the ground in
// each line, read from the screen's pixels).
TEST_F(Win32EditorBox, ColoursFollowTheSystemScheme) {
    script().setText("beep beep\r\n' a note");
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    const COLORREF before[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    auto rgb = [](COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; };
    const struct { const char* name; COLORREF ground, text; } schemes[] = {
        {"dark", RGB(30, 30, 30), RGB(230, 230, 230)},
        {"high contrast", RGB(0, 0, 0), RGB(255, 255, 255)},
        {"light", RGB(255, 255, 255), RGB(0, 0, 0)},
    };
    for (const auto& scheme : schemes) {
        const COLORREF colours[] = {scheme.ground, scheme.text};
        ASSERT_TRUE(SetSysColors(2, elements, colours));
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(box);
        RECT client;
        GetClientRect(box, &client);
        const COLORREF ground = GetPixel(dc, client.right - 20, metrics.tmHeight / 2);
        EXPECT_EQ(ground, scheme.ground) << scheme.name;
        int textStart = 0;  // where the gutter's ground ends (its bottom row holds no digits)
        while (textStart < client.right && GetPixel(dc, textStart, metrics.tmHeight - 1) != ground) ++textStart;
        for (int line = 0; line < 2; ++line) {
            double best = 1;
            COLORREF ink = ground;
            for (int y = line * metrics.tmHeight; y < (line + 1) * metrics.tmHeight; ++y)
                for (int x = textStart; x < textStart + 4 * metrics.tmAveCharWidth + 4; ++x) {
                    const COLORREF c = GetPixel(dc, x, y);
                    if (contrast(rgb(c), rgb(ground)) > best) best = contrast(rgb(c), rgb(ground)), ink = c;
                }
            EXPECT_GE(best, kReadable) << scheme.name << (line == 0 ? ": keyword " : ": comment ") << std::hex << ink;
        }
        ReleaseDC(box, dc);
    }
    SetSysColors(2, elements, before);
}

// The edit box's messages that read, select and replace text, and
// accessibility's role and value, answered as the system's multi-line edit
// box answers them, given the same text and the same selections.
TEST_F(Win32EditorBox, AnswersAsTheSystemsEditBox) {
    CoInitialize(nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 0, 0, 300, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    const std::wstring initial = L"wait(10)\r\nb\x00E9" L"ep \xD83D\xDE00 x\r\n\r\nend";
    for (HWND w : {box, edit}) SendMessageW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(initial.c_str()));
    const auto length = static_cast<int>(initial.size());
    auto same = [&](const char* what, UINT message, WPARAM wParam, LPARAM lParam) {
        const LRESULT theirs = SendMessageW(edit, message, wParam, lParam), ours = SendMessageW(box, message, wParam, lParam);
        EXPECT_EQ(ours, theirs) << what << " " << static_cast<long long>(wParam);
    };
    auto selection = [](HWND w) {
        DWORD ends[2]{};
        const LRESULT both = SendMessageW(w, EM_GETSEL, reinterpret_cast<WPARAM>(&ends[0]), reinterpret_cast<LPARAM>(&ends[1]));
        return std::tuple{both, ends[0], ends[1]};
    };
    same("EM_GETLINECOUNT", EM_GETLINECOUNT, 0, 0);
    for (int i = 0; i <= length; ++i) {
        same("EM_LINEFROMCHAR", EM_LINEFROMCHAR, static_cast<WPARAM>(i), 0);
        same("EM_LINELENGTH", EM_LINELENGTH, static_cast<WPARAM>(i), 0);
    }
    for (int line = 0; line < 6; ++line) {
        same("EM_LINEINDEX", EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        wchar_t theirs[64]{}, ours[64]{};
        theirs[0] = ours[0] = 64;
        const LRESULT n = SendMessageW(edit, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(theirs));
        EXPECT_EQ(SendMessageW(box, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(ours)), n) << line;
        EXPECT_EQ(std::wstring(ours, static_cast<std::size_t>(n)), std::wstring(theirs, static_cast<std::size_t>(n))) << line;
    }
    // (Not inside a CR LF: the system's box lets a selection end between its
    // CR and its LF; ours takes the line break whole.)
    const std::pair<int, int> selections[] = {{0, 0}, {3, 7}, {7, 3}, {12, 14}, {10, 19}, {5, -1}, {-1, 0}, {length, length}};
    for (const auto& [from, to] : selections) {
        for (HWND w : {box, edit}) SendMessageW(w, EM_SETSEL, static_cast<WPARAM>(from), to);
        SCOPED_TRACE(testing::Message() << "selection " << from << "," << to);
        EXPECT_EQ(selection(box), selection(edit));
        same("EM_LINEFROMCHAR -1", EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
        same("EM_LINEINDEX -1", EM_LINEINDEX, static_cast<WPARAM>(-1), 0);
        if (from <= to || to < 0) {
            same("EM_LINELENGTH -1", EM_LINELENGTH, static_cast<WPARAM>(-1), 0);
        } else {  // Wine's box counts a backward selection as if its ends were swapped: compared with it made forward
            const LRESULT unselected = SendMessageW(box, EM_LINELENGTH, static_cast<WPARAM>(-1), 0);
            SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(to), from);
            EXPECT_EQ(unselected, SendMessageW(edit, EM_LINELENGTH, static_cast<WPARAM>(-1), 0));
        }
    }
    for (const auto& [from, to] : {std::pair{3, 7}, std::pair{14, 14}}) {  // a selection replaced, and none
        for (HWND w : {box, edit}) {
            SendMessageW(w, EM_SETSEL, static_cast<WPARAM>(from), to);
            SendMessageW(w, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"Z\xD83D\xDE00"));
        }
        EXPECT_EQ(wholeText(box), wholeText(edit));
        EXPECT_EQ(selection(box), selection(edit));  // the caret after what came in
    }
    // Accessibility: "role|value" of the box itself.
    auto accessible = [](HWND w) {
        IAccessible* a = nullptr;
        if (FAILED(AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&a))) ||
            !a)
            return std::wstring(L"<no object>");
        VARIANT self, role;
        VariantInit(&self);
        VariantInit(&role);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR value = nullptr;
        std::wstring out = L"<no role or value>";
        if (a->get_accRole(self, &role) == S_OK && role.vt == VT_I4 && a->get_accValue(self, &value) == S_OK && value)
            out = std::to_wstring(role.lVal) + L"|" + value;
        SysFreeString(value);
        a->Release();
        return out;
    };
    EXPECT_EQ(accessible(box), std::to_wstring(ROLE_SYSTEM_TEXT) + L"|" + wholeText(box));
    EXPECT_EQ(accessible(box), accessible(edit));
    DestroyWindow(edit);
    CoUninitialize();
}

}  // namespace
}  // namespace torvic
