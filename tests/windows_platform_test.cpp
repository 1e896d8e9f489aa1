// The Windows platform under Wine: key events, failures, the OEM code page,
// names through the wide API, and the registry installation's folders and
// keys.
#include <gtest/gtest.h>
#include <windows.h>
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

// (A started program's id, through focu: windows_e2e.sh; a failed copy: below.)
TEST(WindowsPlatform, AProgramThatCannotStartIsARunTimeError) {
    EXPECT_THROW(WindowsPlatform().startProgram("no-such-program.exe", 1), RunTimeError);
}

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

TEST(WindowsNames, FilesAndCopiesByTheirUnicodeNames) {
    test::TempDir tmp;
    const std::wstring dir = win::wide(tmp.path()) + L"\\";
    // A name 1252 cannot spell, as the system gives it (UTF-8).
    ASSERT_TRUE(writeFileSafely(tmp / "prova→ő.txt", "x"));
    EXPECT_TRUE(fileExists(dir + L"prova\u2192\u0151.txt"));
    EXPECT_EQ(readFileBytes(tmp / "prova→ő.txt").value_or("<missing>"), "x");
    ASSERT_TRUE(writeFileSafely(tmp / "prova→ő.txt", "yy"));  // replaced by its wide name too
    EXPECT_EQ(readFileBytes(tmp / "prova→ő.txt").value_or("<missing>"), "yy");
    // A script's 1252 names.
    WindowsPlatform platform;
    ASSERT_TRUE(writeFileSafely(tmp / "Plaça l·l €.txt", "z"));
    platform.copyFile(tmp / "Pla\xE7" "a l\xB7l \x80.txt", tmp / "c\xF2pia.txt");
    EXPECT_TRUE(fileExists(dir + L"c\u00F2pia.txt"));
    EXPECT_THROW(platform.copyFile(tmp / "Pla\xE7" "a.txt", tmp / "c.txt"), RunTimeError);

    std::string error;
    EXPECT_TRUE(appendFileBytes(tmp / "→.log", "a", &error)) << error;
    EXPECT_TRUE(appendFileBytes(tmp / "→.log", "b", &error)) << error;
    EXPECT_EQ(readFileBytes(tmp / "→.log").value_or("<missing>"), "ab");
    EXPECT_FALSE(appendFileBytes(tmp.path(), "a", &error));
    EXPECT_EQ(error, platform_texts::isAFolder());
}

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

// The values and shortcuts themselves, and an uninstallation that leaves
// the registry as it was: win32_setup_e2e.sh, in a fresh prefix.
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


// The editor box is a window of its own: typed characters (one beyond 16
// bits comes in two halves), Enter as CR LF, Backspace over it as one step,
// undo, its whole text to WM_GETTEXT, and the dialog keys it takes (Tab and
// Enter, not Esc, which is the window's "End").
TEST(Win32Views, EditorBoxTypesWholeCharactersAndUndoes) {
    win32::MainWindowWin32 window;
    window.show();
    HWND box = window.control("Text1");
    win32::ScriptBox& script = window.editorBox();
    script.setText("beep\r\nwait(1)");
    script.setCaret(4, 4);
    for (wchar_t c : std::wstring(L"x\xD83D\xDE00\r")) SendMessageW(box, WM_CHAR, c, 0);
    EXPECT_EQ(script.text().text(), "beepx\xF0\x9F\x98\x80\r\n\r\nwait(1)");
    SendMessageW(box, WM_KEYDOWN, VK_BACK, 0);
    SendMessageW(box, WM_KEYDOWN, VK_BACK, 0);  // the emoji, whole
    EXPECT_EQ(script.text().text(), "beepx\r\nwait(1)");
    std::wstring all(static_cast<std::size_t>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    all.resize(static_cast<std::size_t>(SendMessageW(box, WM_GETTEXT, all.size(), reinterpret_cast<LPARAM>(all.data()))));
    EXPECT_EQ(all, L"beepx\r\nwait(1)");
    int steps = 0;
    while (SendMessageW(box, WM_UNDO, 0, 0) && steps < 10) ++steps;
    EXPECT_EQ(steps, 3);  // the typing, the line break, the run of Backspace
    EXPECT_EQ(script.text().text(), "beep\r\nwait(1)");
    EXPECT_FALSE(*script.modified());
    MSG enter{box, WM_KEYDOWN, VK_RETURN, 0, 0, {}}, escape{box, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(SendMessageW(box, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE);
    EXPECT_FALSE(SendMessageW(box, WM_GETDLGCODE, VK_ESCAPE, reinterpret_cast<LPARAM>(&escape)) & DLGC_WANTMESSAGE);
    EXPECT_TRUE(SendMessageW(box, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);

    // A drag held above the box goes on selecting upwards, a line at a time.
    std::string lines;
    for (int i = 0; i < 300; ++i) lines += "beep\r\n";
    script.setText(lines);
    script.setCaret(script.text().lineStart(200), script.text().lineStart(200));  // scrolled down to it
    RECT client;
    GetClientRect(box, &client);
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, client.bottom / 2));
    const std::size_t anchor = script.text().anchor;
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, static_cast<WORD>(-5)));
    const std::size_t above = script.text().lineOf(script.text().caret);  // the line above the box
    EXPECT_LT(above, script.text().lineOf(anchor));
    // Ten ticks of the box's drag timer (its id is 1), sent rather than
    // waited for: the display's own pointer would move the drag meanwhile.
    for (int i = 0; i < 10; ++i) SendMessageW(box, WM_TIMER, 1, 0);
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(20, static_cast<WORD>(-5)));
    EXPECT_EQ(script.text().anchor, anchor);
    EXPECT_EQ(script.text().lineOf(script.text().caret) + 10, above);  // a line a tick
}

// Keys and the mouse as in any text box: Tab and Shift+Tab type a tab while
// Ctrl+Tab (either way) leaves the box to the dialog manager; three clicks
// take the line, a double click and a drag extend by words; the wheel adds
// up steps smaller than a notch, scrolls a page where the desktop says so,
// and Shift turns it sideways.
TEST(Win32Views, EditorBoxTabsClicksAndTheWheel) {
    win32::MainWindowWin32 window;
    window.show();
    HWND box = window.control("Text1");
    win32::ScriptBox& script = window.editorBox();
    auto wantsTab = [box](bool ctrl, bool shift) {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        const BYTE before[2] = {keys[VK_CONTROL], keys[VK_SHIFT]};
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG tab{box, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        const bool wants = SendMessageW(box, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTTAB;
        keys[VK_CONTROL] = before[0];
        keys[VK_SHIFT] = before[1];
        SetKeyboardState(keys);
        return wants;
    };
    EXPECT_TRUE(wantsTab(false, false));
    EXPECT_TRUE(wantsTab(false, true));
    EXPECT_FALSE(wantsTab(true, false));
    EXPECT_FALSE(wantsTab(true, true));

    script.setText("wait(10) beep\r\nsend(abc) wait(5)\r\nend");
    const auto font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE cell{};
    GetTextExtentPoint32W(dc, L"M", 1, &cell);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    // The gutter's width, from where a click at its edge puts the caret.
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 1));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(0, 1));
    int left = 0;
    while (left < 200) {
        SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(left, 1));
        SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(left, 1));
        if (script.text().caret > 0) break;
        ++left;
    }
    left -= static_cast<int>(cell.cx) / 2;  // where column 0 starts
    auto at = [&](int column, int row) {
        return MAKELPARAM(left + column * cell.cx + cell.cx / 3, row * metrics.tmHeight + metrics.tmHeight / 2);
    };
    auto selected = [&] {
        const ScriptText& t = script.text();
        return t.slice(t.selectionStart(), t.selectionEnd());
    };
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at(1, 0));
    SendMessageW(box, WM_LBUTTONUP, 0, at(1, 0));
    SendMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, at(1, 0));
    EXPECT_EQ(selected(), "wait");
    SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, at(11, 0));
    EXPECT_EQ(selected(), "wait(10) beep");
    SendMessageW(box, WM_LBUTTONUP, 0, at(11, 0));
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at(2, 1));
    SendMessageW(box, WM_LBUTTONUP, 0, at(2, 1));
    SendMessageW(box, WM_LBUTTONDBLCLK, MK_LBUTTON, at(2, 1));
    SendMessageW(box, WM_LBUTTONUP, 0, at(2, 1));
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, at(2, 1));
    SendMessageW(box, WM_LBUTTONUP, 0, at(2, 1));
    EXPECT_EQ(selected(), "send(abc) wait(5)\r\n");

    // An input method's composition window stands at the caret.
    SetFocus(box);
    if (GetFocus() == box) {
        script.setCaret(20, 20);  // line 1, column 5
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

    std::string lines;
    for (int i = 0; i < 300; ++i) lines += std::string(400, 'x') + "\r\n";
    script.setText(lines);
    auto position = [box](int bar) {
        SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
        GetScrollInfo(box, bar, &si);
        return si.nPos;
    };
    UINT linesBefore = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesBefore, 0);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
    for (int i = 0; i < 8; ++i) SendMessageW(box, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-30)), 0);
    EXPECT_EQ(position(SB_VERT), 6);  // two notches in quarters, three lines each
    SendMessageW(box, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(position(SB_VERT), 3);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
    RECT client;
    GetClientRect(box, &client);
    SendMessageW(box, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(position(SB_VERT), 3 + client.bottom / metrics.tmHeight);  // a page, not the end
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, linesBefore, nullptr, 0);
    const int down = position(SB_VERT);
    SendMessageW(box, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_GT(position(SB_HORZ), 0);
    EXPECT_EQ(position(SB_VERT), down);
}

// The box's colours follow the system's: on a dark scheme and a
// high-contrast one, keywords and comments are drawn readable on the box's
// ground (read from the screen's pixels: the ink farthest from the ground
// in each line).
TEST(Win32Views, EditorBoxColoursFollowTheSystemScheme) {
    win32::MainWindowWin32 window;
    window.show();
    HWND box = window.control("Text1");
    window.editorBox().setText("beep beep\r\n' a note");
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    const COLORREF before[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    const auto font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    HDC measure = GetDC(box);
    HGDIOBJ old = SelectObject(measure, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(measure, &metrics);
    SelectObject(measure, old);
    ReleaseDC(box, measure);
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
        // The text starts where the gutter's ground ends (its bottom row
        // holds no digits).
        int textStart = 0;
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
// box answers them, both given the same text and the same selections.
TEST(Win32Views, EditorBoxAnswersAsTheSystemsEditBox) {
    CoInitialize(nullptr);
    win32::MainWindowWin32 window;
    window.show();
    HWND box = window.control("Text1");
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 0, 0, 300, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    const std::wstring text = L"wait(10)\r\nb\x00E9" L"ep \xD83D\xDE00 x\r\n\r\nend";
    for (HWND w : {box, edit}) SendMessageW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const auto length = static_cast<int>(text.size());
    // Every message's answer from both boxes, side by side.
    auto same = [&](const char* what, UINT message, WPARAM wParam, LPARAM lParam) {
        const LRESULT theirs = SendMessageW(edit, message, wParam, lParam), ours = SendMessageW(box, message, wParam, lParam);
        EXPECT_EQ(ours, theirs) << what << " " << static_cast<long long>(wParam);
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
    // (Not inside a CR LF: the system's box lets a selection end between
    // its CR and its LF, where typing would split the line break; ours
    // takes the line break whole.)
    const std::pair<int, int> selections[] = {{0, 0}, {3, 7}, {7, 3}, {12, 14}, {10, 19}, {5, -1}, {-1, 0}, {length, length}};
    for (const auto& [from, to] : selections) {
        for (HWND w : {box, edit}) SendMessageW(w, EM_SETSEL, static_cast<WPARAM>(from), to);
        DWORD theirs[2]{}, ours[2]{};
        const LRESULT t = SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&theirs[0]), reinterpret_cast<LPARAM>(&theirs[1]));
        const LRESULT o = SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&ours[0]), reinterpret_cast<LPARAM>(&ours[1]));
        EXPECT_EQ(o, t) << from << "," << to;
        EXPECT_EQ(ours[0], theirs[0]) << from << "," << to;
        EXPECT_EQ(ours[1], theirs[1]) << from << "," << to;
        SCOPED_TRACE(testing::Message() << "selection " << from << "," << to);
        same("EM_LINEFROMCHAR -1", EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
        same("EM_LINEINDEX -1", EM_LINEINDEX, static_cast<WPARAM>(-1), 0);
        if (from <= to || to < 0) {
            same("EM_LINELENGTH -1", EM_LINELENGTH, static_cast<WPARAM>(-1), 0);
        } else {
            // The unselected characters of the selection's lines do not
            // depend on its direction (Wine's box counts a backward one
            // as if its ends were swapped): compared with the same
            // selection made forward.
            const LRESULT unselected = SendMessageW(box, EM_LINELENGTH, static_cast<WPARAM>(-1), 0);
            SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(to), from);
            EXPECT_EQ(unselected, SendMessageW(edit, EM_LINELENGTH, static_cast<WPARAM>(-1), 0));
        }
    }
    // A replacement of a selection, and one where there is none.
    auto whole = [](HWND w) {
        std::wstring all(static_cast<std::size_t>(SendMessageW(w, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        all.resize(static_cast<std::size_t>(SendMessageW(w, WM_GETTEXT, all.size(), reinterpret_cast<LPARAM>(all.data()))));
        return all;
    };
    for (const auto& [from, to] : {std::pair{3, 7}, std::pair{14, 14}}) {
        for (HWND w : {box, edit}) {
            SendMessageW(w, EM_SETSEL, static_cast<WPARAM>(from), to);
            SendMessageW(w, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"Z\xD83D\xDE00"));
        }
        EXPECT_EQ(whole(box), whole(edit));
        DWORD theirs = 0, ours = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&theirs), 0);
        SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&ours), 0);
        EXPECT_EQ(ours, theirs);  // the caret after what came in
    }
    // Accessibility: the role of a text box, the text its value.
    auto accessible = [](HWND w) {
        IAccessible* a = nullptr;
        EXPECT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                         reinterpret_cast<void**>(&a))));
        return a;
    };
    IAccessible* theirs = accessible(edit);
    IAccessible* ours = accessible(box);
    ASSERT_TRUE(theirs && ours);
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT theirRole, ourRole;
    VariantInit(&theirRole);
    VariantInit(&ourRole);
    ASSERT_EQ(ours->get_accRole(self, &ourRole), S_OK);
    ASSERT_EQ(theirs->get_accRole(self, &theirRole), S_OK);
    EXPECT_EQ(ourRole.vt, VT_I4);
    EXPECT_EQ(ourRole.lVal, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(ourRole.lVal, theirRole.lVal);
    BSTR theirValue = nullptr, ourValue = nullptr;
    ASSERT_EQ(ours->get_accValue(self, &ourValue), S_OK);
    ASSERT_EQ(theirs->get_accValue(self, &theirValue), S_OK);
    ASSERT_TRUE(ourValue && theirValue);
    EXPECT_EQ(std::wstring(ourValue), std::wstring(theirValue));
    EXPECT_EQ(std::wstring(ourValue), whole(box));
    SysFreeString(ourValue);
    SysFreeString(theirValue);
    ours->Release();
    theirs->Release();
    DestroyWindow(edit);
    CoUninitialize();
}

}  // namespace
}  // namespace torvic
