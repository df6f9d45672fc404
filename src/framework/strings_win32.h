// Strings of the current resource module's string table (win_app.h), in the ANSI code page, and the
// framework's one-argument formatting of a message ("%1").
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace zs::framework {

// Sets `text` to string `id` and returns TRUE; an ID that the table does not hold gives the empty text and
// FALSE.
BOOL AfxLoadString(UINT id, std::string& text);
// The same, with "no such string" as nothing.
std::optional<std::string> AfxLoadStringOrNothing(UINT id);

// Sets `result` to string `formatId` with every "%1" replaced by `argument`.
void AfxFormatString1(std::string& result, UINT formatId, const char* argument);

}  // namespace zs::framework
