// How a step names a window by its caption: the whole caption, or its start followed by a final '*'. Shared
// by the driver and its hold hook, which runs inside the program under test.
#pragma once

#include <string>

namespace zs::uidriver {

// True when CAPTION matches PATTERN: equal, or starting with the pattern's text before a final '*'.
inline bool CaptionMatches(const std::wstring& caption, const std::wstring& pattern) {
    if (!pattern.empty() && pattern.back() == L'*') {
        return caption.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    }
    return caption == pattern;
}

}  // namespace zs::uidriver
