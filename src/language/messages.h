// Messages of a language block: block k holds its thirteen messages at string IDs B .. B + 12 with
// B = 100 * k + 1, each named by its offset (IDS_SETUP_WORD 0 .. IDS_SELECT_LOCATION 12 of
// reslib/resource_ids.h).
#pragma once

#include <string>

#include "language/string_loader.h"

namespace zs::language {

inline constexpr int MessageId(int blockBase, int offset) {
    return blockBase + offset;
}

// String blockBase + offset; the empty text when the table has no such string.
std::string LoadMessage(const StringLoader& load, int blockBase, int offset);

// The please-wait caption starts as the application name; one blank and the block's word for the setup
// program are appended to it ("Foo" gives "Foo Setup"; an empty name gives " Setup").
void AppendSetupWord(std::string& caption, const StringLoader& load, int blockBase);

}  // namespace zs::language
