#include "language/messages.h"

#include "reslib/resource_ids.h"

namespace zs::language {

std::string LoadMessage(const StringLoader& load, int blockBase, int offset) {
    return load(MessageId(blockBase, offset)).value_or(std::string());
}

void AppendSetupWord(std::string& caption, const StringLoader& load, int blockBase) {
    caption += " ";
    caption += LoadMessage(load, blockBase, IDS_SETUP_WORD);
}

}  // namespace zs::language
