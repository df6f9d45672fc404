// The STRINGTABLE blocks of a UTF-8 resource script, read as the resource compiler reads them: comments and
// preprocessor lines skipped, adjacent literals joined, "" and the C escapes decoded. For tests that build a
// library with the shipped string table or compare one with it.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

namespace zs::test {

// String ID -> text (UTF-8). Throws std::runtime_error on what it cannot read.
std::map<int, std::string> ReadRcStringTable(const std::string& script);
std::map<int, std::string> LoadRcStringTable(const std::string& path);

}  // namespace zs::test
