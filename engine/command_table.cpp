// The keyword table: the rows of every family, gathered once.
#include <vector>

#include "engine/commands.h"
#include "textcmd/commands.h"

namespace torvic {

std::span<const CommandRow> commandTable() {
    static const std::vector<CommandRow> table = [] {
        std::vector<CommandRow> all;
        for (std::span<const CommandRow> family :
             {flowCommands(), desktopCommands(), systemCommands(), documentCommands(),
              searchCommands(), linesCommands(), refCommands()})
            all.insert(all.end(), family.begin(), family.end());
        return all;
    }();
    return table;
}

const CommandRow* findCommand(std::string_view keyword) {
    for (const CommandRow& row : commandTable())
        if (row.keyword == keyword) return &row;
    return nullptr;
}

}  // namespace torvic
