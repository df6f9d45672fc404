// Messages of a language block: the block whose first string ID is `blockBase` holds its thirteen messages,
// each named by its offset (IDS_SETUP_WORD 0 .. IDS_SELECT_LOCATION 12); reslib/resource_ids.h numbers them.
#pragma once

#include <string>

#include "language/string_loader.h"
#include "reslib/resource_ids.h"

namespace zs::language {

inline constexpr int MessageId(int blockBase, int offset) {
    return IDS_MESSAGE(blockBase, offset);
}

// String blockBase + offset; the empty text when the table has no such string.
std::string LoadMessage(const StringLoader& load, int blockBase, int offset);

// The please-wait caption starts as the application name; one blank and the block's word for the setup
// program are appended to it ("Foo" gives "Foo Setup"; an empty name gives " Setup").
void AppendSetupWord(std::string& caption, const StringLoader& load, int blockBase);

}  // namespace zs::language
