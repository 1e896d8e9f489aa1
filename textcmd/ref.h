#pragma once
// Reference extraction: picks catalogue entries out of the working text by
// their keys and collects them into a new text.
#include <string>
#include <string_view>
#include <vector>

namespace torvic {

// A reference that could not be handled, reported with PError.
struct RefError {
    std::string missatge;
    std::string referencia;
    bool namesFile = true;  // false for a malformed selection: the report leaves the file name empty
    bool operator==(const RefError&) const = default;
};

// The text `ref` writes for a selection text such as "10,20_25<22>", with the
// reference prefix `prefix`; `errors` receives the reports in order.
std::string extractReferences(std::string_view text, std::string_view prefix, std::string_view selection,
                              std::vector<RefError>& errors);

// Finds the first line start (the position just after a CR LF) at which a
// key begins, in text order, for many keys at a time: built once per text,
// each lookup costs a logarithm of the number of lines.
class LineStartIndex {
public:
    // `maxKeyLength`: no key looked up will be longer.
    LineStartIndex(std::string_view text, std::size_t maxKeyLength);
    // 1-based position of the CR LF before the first line that begins with
    // `key`, or 0 (as a search for CR LF + key from position 1 gives).
    std::size_t find(std::string_view key) const;
    // Leaves the line that starts at 0-based `lineStart` out of later finds.
    void remove(std::size_t lineStart);

private:
    std::string_view prefixAt(std::size_t start) const;
    std::size_t minimumStart(std::size_t lo, std::size_t hi) const;

    std::string_view text_;
    std::size_t maxKey_;
    std::vector<std::size_t> sorted_;                 // line starts ordered by their first maxKey_ characters
    std::vector<std::size_t> minimum_;                // segment tree of the smallest start over ranges of sorted_
    std::vector<std::size_t> byPosition_;             // the line starts in text order
    std::vector<std::size_t> leafOf_;                 // where each of them stands in sorted_
};

}  // namespace torvic
