#include "editor/syntax_hint.h"

#include "base/cp1252.h"
#include "base/text.h"
#include "engine/commands.h"

namespace torvic {

std::string TAjuda(std::string_view TextComanda) {
    const CommandRow* row = findCommand(toLower1252(trimBlanks(TextComanda)));
    return row ? L1252(row->hint) : "";
}

}  // namespace torvic
