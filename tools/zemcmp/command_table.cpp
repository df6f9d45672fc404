// The list of subcommands. A new subcommand is one more file and one more line here.
#include "command/command.h"

namespace zs::zemcmp {

const std::vector<const Command*>& Commands() {
    static const std::vector<const Command*> commands = {&kBuildCommand, &kCompressCommand, &kExpandCommand,
                                                         &kTestCommand, &kCheckCommand};
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command* command : Commands()) {
        if (name == command->name) return command;
    }
    return nullptr;
}

}  // namespace zs::zemcmp
