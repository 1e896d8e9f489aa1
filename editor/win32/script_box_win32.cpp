#include "editor/win32/script_box_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <string_view>

#include "base/cp1252.h"
#include "base/text_encoding.h"
#include "base/win32/form_win32.h"
#include "engine/engine.h"
#include "platform/windows/wide_text.h"
#include "script/script_file.h"

namespace torvic::win32 {
namespace {

constexpr COLORREF kGutter = RGB(236, 236, 236), kNumber = RGB(120, 120, 120), kRunning = RGB(120, 190, 120),
                   kOutside1252 = RGB(255, 190, 190), kKeyword = RGB(0, 0, 160), kComment = RGB(110, 110, 110),
                   kWrong = RGB(255, 0, 0);
// A long text goes into the box by pieces of this many bytes of UTF-8.
constexpr std::size_t kPiece = std::size_t{1} << 21;
// A line is read and drawn up to this many characters.
constexpr std::size_t kLongestDrawn = 1 << 16;

LRESULT send(HWND box, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(box, message, wParam, lParam);
}
int lineCount(HWND box) { return static_cast<int>(send(box, EM_GETLINECOUNT)); }
int lineOf(HWND box, DWORD index) { return static_cast<int>(send(box, EM_LINEFROMCHAR, index)); }
DWORD lineStart(HWND box, int line) { return static_cast<DWORD>(send(box, EM_LINEINDEX, static_cast<WPARAM>(line))); }
void selection(HWND box, DWORD& start, DWORD& end) {
    send(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
}

// Where the line starting at `p` ends; `next` gets the next line's start
// (nullptr after the last). The box breaks lines at CR LF, and at CR CR LF
// (a soft break).
template <class Char>
const Char* endOfLine(const Char* p, const Char** next) {
    for (;; ++p) {
        if (*p == 0) {
            *next = nullptr;
            return p;
        }
        if (*p == '\r' && p[1] == '\n') {
            *next = p + 2;
            return p;
        }
        if (*p == '\r' && p[1] == '\r' && p[2] == '\n') {
            *next = p + 3;
            return p;
        }
    }
}

// Where the line holding `index` starts: after the last line break
// before it (the box walks its whole line table for that).
DWORD startOfLineAt(const wchar_t* text, DWORD index) {
    for (DWORD i = index; i > 1; --i)
        if (text[i - 1] == L'\n' && text[i - 2] == L'\r') return i;
    return 0;
}

// The second half of a character beyond the 16-bit range.
bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char32_t codePointAt(std::wstring_view s, std::size_t i, std::size_t& length) {
    const bool pair = s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF;
    length = pair ? 2 : 1;
    return pair ? 0x10000 + ((char32_t{s[i]} - 0xD800) << 10) + (char32_t{s[i + 1]} - 0xDC00) : char32_t{s[i]};
}

// The same in UTF-8 (a byte that begins no character stands for itself).
char32_t codePointAt(std::string_view s, std::size_t i, std::size_t& length) {
    length = std::max<std::size_t>(1, utf8SequenceLength(s, i));
    return utf8CodePoint(s, i, length);
}

bool isOutside1252(char32_t u) { return cp1252::fromUnicode(u) < 0; }

// What the box keeps of a line: whether it counts as a script line, and
// whether it holds a character code page 1252 cannot.
constexpr std::uint8_t kCounts = 1, kOutside = 2;
template <class Char>
std::uint8_t lineFlags(std::basic_string_view<Char> line) {
    std::uint8_t flags = isScriptLine(line.size()) ? kCounts : 0;
    for (std::size_t i = 0, size = 1; i < line.size(); i += size)
        if (static_cast<std::make_unsigned_t<Char>>(line[i]) < 0x80)
            size = 1;
        else if (isOutside1252(codePointAt(line, i, size)))
            return flags | kOutside;
    return flags;
}

// Those of each line of a text, from `p` on, `count` lines at most.
template <class Char>
std::vector<std::uint8_t> linesFrom(const Char* p, std::size_t count = SIZE_MAX) {
    std::vector<std::uint8_t> flags;
    for (; p && flags.size() < count;) {
        const Char* next = nullptr;
        const Char* end = endOfLine(p, &next);
        flags.push_back(lineFlags(std::basic_string_view<Char>(p, static_cast<std::size_t>(end - p))));
        p = next;
    }
    return flags;
}

template <class Char>
bool startsEncoded(const Char* text) {
    for (std::size_t i = 0; i < kEncodedMarker.size(); ++i)
        if (text[i] != static_cast<Char>(kEncodedMarker[i])) return false;
    return true;
}

// The box's own text, read in place (a copy where the box gives no handle,
// or when asked from within a message of the box's own, which holds it).
class BoxText {
public:
    explicit BoxText(HWND box, bool inPlace = true)
        : handle_(inPlace ? reinterpret_cast<HLOCAL>(send(box, EM_GETHANDLE)) : nullptr) {
        text_ = handle_ ? static_cast<const wchar_t*>(LocalLock(handle_)) : nullptr;
        if (!text_) {
            copy_.resize(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1);
            copy_.resize(static_cast<std::size_t>(GetWindowTextW(box, copy_.data(), static_cast<int>(copy_.size()))));
            text_ = copy_.c_str();
        }
    }
    ~BoxText() {
        if (handle_ && text_ != copy_.c_str()) LocalUnlock(handle_);
    }
    BoxText(const BoxText&) = delete;
    BoxText& operator=(const BoxText&) = delete;
    const wchar_t* at(DWORD index) const { return text_ + index; }

private:
    HLOCAL handle_;
    const wchar_t* text_;
    std::wstring copy_;
};

// The left edge of each character of `line` drawn from `x0` (and of its
// end), as the box lays it out: tabs every eight average characters.
std::vector<int> edges(HDC dc, std::wstring_view line, int x0, int tabWidth) {
    std::vector<int> xs(line.size() + 1);
    std::vector<int> extents;
    int x = x0;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == L'\t') {
            xs[i++] = x;
            x = x0 + ((x - x0) / tabWidth + 1) * tabWidth;
            continue;
        }
        std::size_t j = i;
        while (j < line.size() && line[j] != L'\t') ++j;
        extents.assign(j - i, 0);
        SIZE size{};
        GetTextExtentExPointW(dc, line.data() + i, static_cast<int>(j - i), 0, nullptr, extents.data(), &size);
        for (std::size_t k = i; k < j; ++k) xs[k] = x + (k > i ? extents[k - i - 1] : 0);
        x += size.cx;
        i = j;
    }
    xs[line.size()] = x;
    return xs;
}

// A red wave from x0 to x1 below the baseline.
void wave(HDC dc, int x0, int x1, int y) {
    if (x1 <= x0) return;
    std::vector<POINT> points;
    for (int x = x0, up = 0; x <= x1 + 1; x += 2, up ^= 1) points.push_back({x, y + (up ? 0 : 2)});
    HPEN pen = CreatePen(PS_SOLID, 1, kWrong);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, old);
    DeleteObject(pen);
}

HFONT variantOf(HFONT font, bool bold, bool italic) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    if (bold) lf.lfWeight = FW_BOLD;
    if (italic) lf.lfItalic = TRUE;
    return CreateFontIndirectW(&lf);
}

// The progress window of a long load, over the editor's window.
class LoadProgress {
public:
    explicit LoadProgress(HWND box) {
        // (The progress bar's class came with the common controls, loaded
        // when the box itself was made.)
        HWND owner = GetAncestor(box, GA_ROOT);
        RECT r;
        GetWindowRect(owner, &r);
        const int width = 380, height = 110;
        frame_ = CreateWindowExW(WS_EX_DLGMODALFRAME, L"#32770", L"Torvic", WS_POPUP | WS_CAPTION,
                                 (r.left + r.right - width) / 2, (r.top + r.bottom - height) / 2, width, height,
                                 IsWindowVisible(owner) ? owner : nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        HWND label = CreateWindowExW(0, L"STATIC", L"S'est\u00e0 carregant el programa al quadre d'edici\u00f3...",
                                     WS_CHILD | WS_VISIBLE, 12, 10, width - 30, 20, frame_, nullptr, nullptr, nullptr);
        send(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)));
        bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 12, 36, width - 30, 18, frame_, nullptr,
                               nullptr, nullptr);
        ShowWindow(frame_, SW_SHOWNA);
    }
    ~LoadProgress() { DestroyWindow(frame_); }
    LoadProgress(const LoadProgress&) = delete;
    LoadProgress& operator=(const LoadProgress&) = delete;
    void show(int percent) {
        send(bar_, PBM_SETPOS, static_cast<WPARAM>(percent));
        // Only its own painting: the keys wait for the text, the box waits to be drawn.
        MSG m;
        while (PeekMessageW(&m, frame_, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&m);
    }

private:
    HWND frame_ = nullptr, bar_ = nullptr;
};

}  // namespace

ScriptBox::~ScriptBox() {
    if (box_) removeSubclass(box_, &ScriptBox::proc, 1);
    if (bold_) DeleteObject(bold_);
    if (italic_) DeleteObject(italic_);
}

void ScriptBox::attach(HWND box, void (*onKeyUp)(void*), void (*onClick)(void*), void* owner) {
    box_ = box;
    onKeyUp_ = onKeyUp;
    onClick_ = onClick;
    owner_ = owner;
    HFONT font = reinterpret_cast<HFONT>(send(box, WM_GETFONT));
    bold_ = variantOf(font, true, false);
    italic_ = variantOf(font, false, true);
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE nine{};
    GetTextExtentPoint32W(dc, L"9", 1, &nine);
    digitWidth_ = std::max<int>(1, nine.cx);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    subclassControl(box, &ScriptBox::proc, 1, reinterpret_cast<DWORD_PTR>(this));
    rescan();
}

LRESULT CALLBACK ScriptBox::proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* me = reinterpret_cast<ScriptBox*>(self);
    if (message == WM_NCDESTROY) {
        removeSubclass(box, &ScriptBox::proc, 1);
        me->box_ = nullptr;
        return defaultSubclassProc(box, message, wParam, lParam);
    }
    return me->handle(message, wParam, lParam);
}

LRESULT ScriptBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && wParam == 0) {
        HRGN update = CreateRectRgn(0, 0, 0, 0);
        const bool some = GetUpdateRgn(box_, update, FALSE) > NULLREGION;
        const LRESULT result = defaultSubclassProc(box_, message, wParam, lParam);
        if (some || gutterDue_) paint(some ? update : nullptr, gutterDue_);
        gutterDue_ = false;
        DeleteObject(update);
        return result;
    }
    // A change at the selection touches only its lines and their
    // neighbours (a line break deleted joins two); an undo (also from the
    // box's menu) may change any line.
    const bool undo = message == WM_UNDO || message == EM_UNDO || (message == WM_CHAR && wParam == 0x1A) ||
                      (message == WM_SYSKEYDOWN && wParam == VK_BACK) || message == WM_CONTEXTMENU;
    const bool atSelection = !undo && (message == WM_CHAR || message == WM_IME_CHAR || message == WM_PASTE ||
                                       message == WM_CUT || message == WM_CLEAR || message == EM_REPLACESEL ||
                                       (message == WM_KEYDOWN && (wParam == VK_DELETE || wParam == VK_INSERT)));
    // What may scroll the text (the numbers must follow) or change it.
    const bool moves = atSelection || undo || message == WM_VSCROLL || message == WM_HSCROLL ||
                       message == WM_MOUSEWHEEL || message == WM_KEYDOWN || message == WM_SYSKEYDOWN ||
                       message == WM_LBUTTONDOWN || message == WM_MOUSEMOVE || message == WM_TIMER ||
                       message == WM_SIZE || message == WM_SETTEXT || message == EM_SETSEL ||
                       message == EM_SCROLLCARET || message == EM_LINESCROLL || message == EM_SCROLL;
    const bool outer = depth_ == 0;
    const bool track = outer && atSelection && !loading_;
    int linesBefore = 0, first = 0, after = 0;
    DWORD firstIndex = 0;  // where line `first` starts: the change leaves it there
    if (track) {
        DWORD start = 0, end = 0;
        selection(box_, start, end);
        linesBefore = lineCount(box_);
        const int a = lineOf(box_, start), b = end == start ? a : lineOf(box_, end);
        first = std::max(0, a - 1);
        after = linesBefore - 1 - std::min(linesBefore - 1, b + 1);
        const BoxText text(box_, depth_ == 0);
        firstIndex = startOfLineAt(text.at(0), start);
        if (a > 0) firstIndex = startOfLineAt(text.at(0), firstIndex - 2);
    }
    if (outer) changed_ = unknownChange_ = false;
    const bool wasEncoded = encoded_;
    const bool wasUndoing = undoing_;
    undoing_ = undoing_ || undo;
    ++depth_;
    const LRESULT result = defaultSubclassProc(box_, message, wParam, lParam);
    --depth_;
    undoing_ = wasUndoing;
    if (undo && changed_) unknownChange_ = true;
    // (What this sends the box below starts afresh as a message of its own.)
    const bool changed = outer && (changed_ || message == WM_SETTEXT), unknown = unknownChange_;
    if (outer && box_ && !loading_ && (moves || changed)) {
        if (unknown || (changed && !track)) {
            rescan();
        } else if (track && (changed || lineCount(box_) != linesBefore)) {
            const int lines = lineCount(box_), last = linesBefore - 1 - after, newLast = lines - 1 - after;
            if (filled_.size() != static_cast<std::size_t>(linesBefore) || newLast < first - 1) {
                rescan();
            } else {
                const BoxText text(box_, depth_ == 0);
                const std::vector<std::uint8_t> fresh =
                    linesFrom(text.at(firstIndex), static_cast<std::size_t>(newLast - first + 1));
                if (first == 0) encoded_ = startsEncoded(text.at(0));
                filled_.erase(filled_.begin() + first, filled_.begin() + last + 1);
                filled_.insert(filled_.begin() + first, fresh.begin(), fresh.end());
                if (filled_.size() != static_cast<std::size_t>(lines)) rescan();
            }
        }
        if (changed) fitGutter();
        // The marker of an encoded script typed or removed: every line's
        // colours change, not only the lines drawn for the change.
        if (encoded_ != wasEncoded) InvalidateRect(box_, nullptr, TRUE);
    }
    // The box scrolls its text only: the numbers follow (also within its
    // scroll bar's loop), drawn with the box's next painting or at once.
    // Invalidated, the gutter's strip would have the box draw every
    // visible line again.
    if (box_ && !loading_ && (moves || changed)) {
        if (const int shown = static_cast<int>(send(box_, EM_GETFIRSTVISIBLELINE)); changed || shown != firstShown_) {
            firstShown_ = shown;
            RECT pending;
            if (GetUpdateRect(box_, &pending, FALSE))
                gutterDue_ = true;
            else
                paint(nullptr, true);
        }
    }
    if (message == WM_KEYUP && onKeyUp_) onKeyUp_(owner_);
    if (message == WM_LBUTTONUP && onClick_) onClick_(owner_);
    return result;
}

void ScriptBox::noteChange() { changed_ = true; }

std::optional<bool> ScriptBox::modified() const {
    if (undoing_) return std::nullopt;
    return send(box_, EM_GETMODIFY) != 0;
}

void ScriptBox::setModified(bool modified) { send(box_, EM_SETMODIFY, modified); }

void ScriptBox::rescan() {
    const BoxText text(box_, depth_ == 0);
    filled_ = linesFrom(text.at(0));
    encoded_ = startsEncoded(text.at(0));
}

void ScriptBox::fitGutter() {
    int digits = 1;
    for (std::size_t n = std::max<std::size_t>(1, filled_.size()); n >= 10; n /= 10) ++digits;
    const int width = 8 + digitWidth_ * std::max(3, digits);
    if (width == gutterWidth_) return;
    gutterWidth_ = width;
    send(box_, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(width, 0));
    InvalidateRect(box_, nullptr, TRUE);
}

void ScriptBox::markRunLine(int index) {
    if (index == marked_) return;
    marked_ = index;
    if (box_) paint(nullptr, true);  // (a hidden run may mark lines before the box is made)
}

void ScriptBox::setText(const std::string& utf8) {
    // The margin first: set after the text, it would have the box lay out
    // every line again.
    filled_ = linesFrom(utf8.c_str());
    encoded_ = startsEncoded(utf8.c_str());
    fitGutter();
    loading_ = true;
    if (utf8.size() <= kPiece / 16) {
        SetWindowTextW(box_, win::wide(utf8).c_str());
    } else {
        // By pieces at the end, each made wide as it goes in, the box not
        // drawn meanwhile; as a text set whole, nothing to undo and nothing
        // changed.
        using Clock = std::chrono::steady_clock;
        const Clock::time_point started = Clock::now();
        std::unique_ptr<LoadProgress> progress;
        send(box_, WM_SETREDRAW, FALSE);
        SetWindowTextW(box_, L"");
        std::size_t units = 0;  // in the box
        for (std::size_t at = 0, piece = 0; at < utf8.size(); at += piece) {
            // Small pieces until the progress window shows.
            piece = std::min(progress ? kPiece : kPiece / 64, utf8.size() - at);
            // A line break and a character stay whole.
            while (at + piece < utf8.size() &&
                   (utf8[at + piece - 1] == '\r' || (static_cast<unsigned char>(utf8[at + piece]) & 0xC0) == 0x80))
                ++piece;
            const std::wstring part = win::wide(std::string_view(utf8).substr(at, piece));
            send(box_, EM_SETSEL, static_cast<WPARAM>(units), static_cast<LPARAM>(units));
            send(box_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
            units += part.size();
            if (!progress && Clock::now() - started > std::chrono::milliseconds(500))
                progress = std::make_unique<LoadProgress>(box_);
            if (progress) progress->show(static_cast<int>((at + piece) * 100 / utf8.size()));
        }
        progress.reset();
        send(box_, WM_SETREDRAW, TRUE);
        send(box_, EM_SETSEL, 0, 0);
        send(box_, EM_SCROLLCARET);
        send(box_, EM_EMPTYUNDOBUFFER);
        send(box_, EM_SETMODIFY, FALSE);
    }
    loading_ = false;
    RedrawWindow(box_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

std::string ScriptBox::textUtf8() const {
    const BoxText text(box_, depth_ == 0);
    return win::utf8(text.at(0));
}

std::size_t ScriptBox::caret() const {
    DWORD start = 0, end = 0;
    selection(box_, start, end);
    const BoxText text(box_, depth_ == 0);
    return start - static_cast<std::size_t>(std::count_if(text.at(0), text.at(start), isLowSurrogate));
}

ScriptBox::CaretLine ScriptBox::caretLine() const {
    DWORD start = 0, end = 0;
    selection(box_, start, end);
    const int line = lineOf(box_, start);
    const BoxText text(box_, depth_ == 0);
    const DWORD index = startOfLineAt(text.at(0), start);
    const wchar_t* p = text.at(index);
    const wchar_t* next = nullptr;
    const std::wstring_view shown(p, static_cast<std::size_t>(endOfLine(p, &next) - p));
    const std::wstring_view before = shown.substr(0, std::min<std::size_t>(start - index, shown.size()));
    const auto pairs = std::count_if(before.begin(), before.end(), isLowSurrogate);
    return {line, static_cast<int>(before.size() - static_cast<std::size_t>(pairs)), std::wstring(shown)};
}

bool ScriptBox::holdsAfterCaretLine(wchar_t c) const {
    DWORD start = 0, end = 0;
    selection(box_, start, end);
    const BoxText text(box_, depth_ == 0);
    const wchar_t* next = nullptr;
    endOfLine(text.at(start), &next);
    for (const wchar_t* p = next; p && *p; ++p)
        if (*p == c) return true;
    return false;
}

void ScriptBox::paint(HRGN update, bool gutter) {
    if (!IsWindowVisible(box_) || loading_) return;
    const int first = static_cast<int>(send(box_, EM_GETFIRSTVISIBLELINE));
    const int lines = lineCount(box_);
    RECT client, format;
    GetClientRect(box_, &client);
    send(box_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const RECT strip{0, client.top, std::min<LONG>(gutterWidth_, client.right), client.bottom};
    RECT bounds{};  // where the box painted: its lines get their colours
    HDC dc = GetDC(box_);
    HRGN clip = CreateRectRgnIndirect(gutter ? &strip : &bounds);
    if (update) {
        GetRgnBox(update, &bounds);
        CombineRgn(clip, clip, update, RGN_OR);
    }
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
    HideCaret(box_);
    HFONT font = reinterpret_cast<HFONT>(send(box_, WM_GETFONT));
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int lineHeight = std::max<int>(1, tm.tmHeight);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, kGutter);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &strip, nullptr, 0, nullptr);

    // The gutter, from what is kept of each line: the text is not read.
    const bool counted = !encoded_ && filled_.size() == static_cast<std::size_t>(lines);
    const auto counts = [this](std::size_t n) { return (filled_[n] & kCounts) != 0; };
    int number = 0;
    for (std::size_t n = 0; counted && n < static_cast<std::size_t>(first); ++n) number += counts(n);
    std::vector<std::pair<int, int>> updated;  // the lines the box painted, and their tops
    SelectObject(dc, font);
    for (int n = first, y = format.top; n < lines && y < client.bottom; ++n, y += lineHeight) {
        const auto at = static_cast<std::size_t>(n);
        if (y + lineHeight > bounds.top && y < bounds.bottom) updated.emplace_back(n, y);
        if (!counted || !counts(at)) continue;
        const int index = number++;
        const bool running = index == marked_;
        if (running || (filled_[at] & kOutside)) {
            SetBkColor(dc, running ? kRunning : kOutside1252);
            const RECT box{0, y, strip.right, y + lineHeight};
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
        }
        SetTextColor(dc, running ? RGB(0, 0, 0) : kNumber);
        SetBkMode(dc, TRANSPARENT);
        RECT digits{0, y, strip.right - 4, y + lineHeight};
        const std::wstring shown = std::to_wstring(index);
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &digits, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
        SetBkMode(dc, OPAQUE);
    }
    if (!updated.empty() && !encoded_) colourLines(dc, updated, format, tm);
    SelectObject(dc, oldFont);
    ShowCaret(box_);
    ReleaseDC(box_, dc);
}

void ScriptBox::colourLines(HDC dc, const std::vector<std::pair<int, int>>& shown, const RECT& format,
                            const TEXTMETRICW& tm) {
    DWORD selStart = 0, selEnd = 0;
    selection(box_, selStart, selEnd);
    const DWORD firstIndex = lineStart(box_, shown.front().first);
    // Where the box draws a line's start (the same for every line).
    const LRESULT origin = send(box_, EM_POSFROMCHAR, firstIndex);
    const int x0 = origin == -1 ? format.left : static_cast<short>(LOWORD(origin));
    const int lineHeight = std::max<int>(1, tm.tmHeight);
    const int tabWidth = std::max<int>(1, 8 * tm.tmAveCharWidth);
    const COLORREF paper = GetSysColor(COLOR_WINDOW);
    HFONT font = reinterpret_cast<HFONT>(send(box_, WM_GETFONT));
    // The text in place, as the box keeps it; while the box is inside a
    // message of its own (its scroll bar's loop) it is read line by line.
    std::optional<BoxText> text;
    if (depth_ == 0) text.emplace(box_);
    const wchar_t* p = text ? text->at(firstIndex) : nullptr;
    std::wstring copy;
    // Draws characters from..to of the line in a font and colour, over the
    // box's own, leaving out tabs and the selection.
    auto redraw = [&](std::wstring_view line, const std::vector<int>& xs, DWORD lineIndex, std::size_t from,
                      std::size_t to, HFONT face, COLORREF ink, COLORREF back, int y) {
        SelectObject(dc, face);
        SetTextColor(dc, ink);
        SetBkColor(dc, back);
        std::vector<int> dx;
        const auto skipped = [&](std::size_t k) {
            const DWORD at = lineIndex + static_cast<DWORD>(k);
            return line[k] == L'\t' || (at >= selStart && at < selEnd) || xs[k + 1] < format.left ||
                   xs[k] > format.right;
        };
        for (std::size_t i = from; i < to;) {
            if (skipped(i)) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < to && !skipped(j)) ++j;
            dx.resize(j - i);
            for (std::size_t k = i; k < j; ++k) dx[k - i] = xs[k + 1] - xs[k];
            const RECT cell{xs[i], y, xs[j], y + lineHeight};
            ExtTextOutW(dc, xs[i], y, ETO_OPAQUE | ETO_CLIPPED, &cell, line.data() + i, static_cast<UINT>(j - i),
                        dx.data());
            i = j;
        }
    };
    SaveDC(dc);
    IntersectClipRect(dc, format.left, format.top, format.right, format.bottom);
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const auto [n, y] = shown[k];
        std::wstring_view line;
        DWORD lineIndex = 0;
        if (text) {
            // The painted lines follow each other.
            if (!p) break;
            const wchar_t* next = nullptr;
            const std::size_t length = static_cast<std::size_t>(endOfLine(p, &next) - p);
            line = std::wstring_view(p, std::min(length, kLongestDrawn));
            lineIndex = static_cast<DWORD>(p - text->at(0));
            p = next;
        } else {
            lineIndex = k == 0 ? firstIndex : lineStart(box_, n);
            const auto length = std::min<std::size_t>(static_cast<std::size_t>(send(box_, EM_LINELENGTH, lineIndex)),
                                                      kLongestDrawn);
            copy.assign(std::max<std::size_t>(length, 2), L'\0');
            copy[0] = static_cast<wchar_t>(std::min<std::size_t>(length, 0xFFFF));
            copy.resize(static_cast<std::size_t>(
                send(box_, EM_GETLINE, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(copy.data()))));
            line = copy;
        }
        if (line.empty()) continue;
        std::vector<int> xs = edges(dc, line, x0, tabWidth);
        // A character beyond the 16-bit range may be laid out by the box
        // otherwise than the font measures it: such a line (rare) takes the
        // box's own places.
        if (std::any_of(line.begin(), line.end(), isLowSurrogate))
            for (std::size_t c = 0; c <= line.size(); ++c)
                if (const LRESULT at = send(box_, EM_POSFROMCHAR, lineIndex + c); at != -1)
                    xs[c] = static_cast<short>(LOWORD(at));
        switch (lineKind(utf8To1252(win::utf8(line)))) {  // the line as the interpreter reads it
            case LineKind::Command: {
                std::size_t from = 0;
                while (from < line.size() && (line[from] == L' ' || line[from] == L'\t')) ++from;
                const std::size_t to = std::min(line.find(L'('), line.size());
                redraw(line, xs, lineIndex, from, to, bold_, kKeyword, paper, y);
                break;
            }
            case LineKind::Comment: redraw(line, xs, lineIndex, 0, line.size(), italic_, kComment, paper, y); break;
            case LineKind::Unrecognised:
                wave(dc, xs[0], std::min<int>(xs[line.size()], format.right), y + tm.tmAscent + 1);
                break;
        }
        // Characters code page 1252 cannot hold: a run stops at their line.
        for (std::size_t i = 0, size = 1; i < line.size(); i += size) {
            if (!isOutside1252(codePointAt(line, i, size))) continue;
            redraw(line, xs, lineIndex, i, i + size, font, RGB(0, 0, 0), kOutside1252, y);
            wave(dc, xs[i], xs[i + size], y + tm.tmAscent + 1);
        }
    }
    RestoreDC(dc, -1);
}

}  // namespace torvic::win32
