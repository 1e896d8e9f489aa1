#include "platform/sendkeys.h"

#include <utility>

#include "base/errors.h"
#include "base/text.h"
#include "platform/platform_texts.h"

namespace torvic {
namespace {

struct NamedKey {
    std::string_view name;
    std::string_view keysym;
};

constexpr NamedKey kNamedKeys[] = {
    {"backspace", "BackSpace"}, {"bs", "BackSpace"},      {"bksp", "BackSpace"},     {"break", "Break"},
    {"capslock", "Caps_Lock"},  {"delete", "Delete"},     {"del", "Delete"},         {"down", "Down"},
    {"end", "End"},             {"enter", "Return"},      {"esc", "Escape"},         {"help", "Help"},
    {"home", "Home"},           {"insert", "Insert"},     {"ins", "Insert"},         {"left", "Left"},
    {"numlock", "Num_Lock"},    {"pgdn", "Page_Down"},    {"pgup", "Page_Up"},       {"prtsc", "Print"},
    {"right", "Right"},         {"scrolllock", "Scroll_Lock"}, {"tab", "Tab"},       {"up", "Up"},
    {"add", "KP_Add"},          {"subtract", "KP_Subtract"}, {"multiply", "KP_Multiply"}, {"divide", "KP_Divide"},
};

[[noreturn]] void invalid(const std::string& why) { throw RunTimeError(platform_texts::invalidKeys(why)); }

std::string keysymOf(std::string_view name) {
    std::string lower = toLower1252(name);
    for (const NamedKey& k : kNamedKeys)
        if (k.name == lower) return std::string(k.keysym);
    if (lower.size() >= 2 && lower.size() <= 3 && lower[0] == 'f') {
        int n = 0;
        for (std::size_t i = 1; i < lower.size(); ++i) {
            if (lower[i] < '0' || lower[i] > '9') invalid(platform_texts::unknownKey(std::string(name)));
            n = n * 10 + (lower[i] - '0');
        }
        if (n >= 1 && n <= 16) return "F" + std::to_string(n);
    }
    invalid(platform_texts::unknownKey(std::string(name)));
}

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    std::vector<KeyStroke> parse() {
        while (i_ < s_.size()) {
            if (s_[i_] == ')') invalid("\")\" without \"(\"");
            element({});
        }
        return std::move(out_);
    }

private:
    // One key, a group in parentheses, or modifiers followed by either.
    void element(std::vector<std::string> mods) {
        while (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '^' || s_[i_] == '%')) {
            mods.push_back(s_[i_] == '+' ? "shift" : s_[i_] == '^' ? "ctrl" : "alt");
            ++i_;
        }
        if (i_ >= s_.size()) invalid(platform_texts::modifierWithoutKey());
        char c = s_[i_];
        if (c == '(') {
            ++i_;
            while (i_ < s_.size() && s_[i_] != ')') element(mods);
            if (i_ >= s_.size()) invalid("\"(\" without \")\"");
            ++i_;
        } else if (c == ')') {
            invalid(platform_texts::modifierWithoutKey());
        } else if (c == '{') {
            braced(mods);
        } else if (c == '}') {
            invalid("\"}\" without \"{\"");
        } else if (c == '~') {
            ++i_;
            emitKey(mods, "Return", 1);
        } else {
            ++i_;
            emitText(mods, std::string(1, c), 1);
        }
    }

    // {NAME}, {NAME n}, {c} or {c n}; "{}}" and "{{}" quote the braces.
    void braced(const std::vector<std::string>& mods) {
        std::size_t close = s_.find('}', i_ + 2);  // the content holds at least one character
        if (close == std::string_view::npos) invalid("\"{\" without \"}\"");
        std::string_view content = s_.substr(i_ + 1, close - i_ - 1);
        i_ = close + 1;
        int count = 1;
        std::size_t blank = content.rfind(' ');
        if (blank != std::string_view::npos && blank > 0) {
            std::string_view n = content.substr(blank + 1);
            if (n.empty() || n.size() > 5) invalid("bad repeat count in {" + std::string(content) + "}");
            count = 0;
            for (char d : n) {
                if (d < '0' || d > '9') invalid("bad repeat count in {" + std::string(content) + "}");
                count = count * 10 + (d - '0');
            }
            content = content.substr(0, blank);
        }
        if (content.size() == 1)
            emitText(mods, std::string(content), count);
        else
            emitKey(mods, keysymOf(content), count);
    }

    void emitKey(const std::vector<std::string>& mods, const std::string& keysym, int count) {
        if (count > 0) out_.push_back({mods, keysym, "", count});
    }

    void emitText(const std::vector<std::string>& mods, const std::string& ch, int count) {
        if (count <= 0) return;
        // Plain characters in a row are typed as one text.
        if (count == 1 && mods.empty() && !out_.empty() && out_.back().modifiers.empty() && out_.back().key.empty() &&
            out_.back().repeat == 1)
            out_.back().text += ch;
        else
            out_.push_back({mods, "", ch, count});
    }

    std::string_view s_;
    std::size_t i_ = 0;
    std::vector<KeyStroke> out_;
};

}  // namespace

std::vector<KeyStroke> parseSendKeys(std::string_view keys) { return Parser(keys).parse(); }

}  // namespace torvic
