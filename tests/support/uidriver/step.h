// The steps of a scenario, one command-line argument each: a verb, then after one blank its argument.
#pragma once

#include <string>

namespace zs::uidriver {

enum class Verb {
    kWait,         // wait CAPTION      a window with this caption (or caption prefix before a final '*')
    kWaitAny,      // wait-any          any window of the program
    kWaitDump,     // wait-dump CAPTION wait, then report that window at once (a window that may soon go)
    kWaitGone,     // wait-gone         the current window is destroyed or hidden
    kDump,         // dump              report every window of the program
    kSelect,       // select [@ID ]ITEM select a list item by text or "#INDEX", as a click on it would
    kDoubleClick,  // dblclick [@ID ]ITEM  the same, then the double-click notification
    kPress,        // press BUTTON      click a button by text or "#ID"
    kEscape,       // escape            the Escape key: IDCANCEL
    kClose,        // close             the system menu's Close
    kSync,         // sync NAME         report NAME and wait until the host answers
    kSleep,        // sleep MS
    kTimeout,      // timeout MS        time limit of the waiting steps that follow
    kWaitExit,     // wait-exit         the program ends; report its exit code
    kWatchExit,    // watch-exit        the same, reporting every window that shows meanwhile
    kOkUntilExit,  // ok-until-exit     the same, pressing OK in every window that has an OK button
    kKill,         // kill              end the program by force
};

struct Step {
    std::wstring text;  // the step as given, for the report
    Verb verb = Verb::kDump;
    std::wstring argument;  // caption, item or button text, sync name
    int controlId = 0;      // select, dblclick: "@ID" names the list box; 0 means the window's first list box
    int number = -1;        // "#N": item index or button ID; milliseconds for sleep and timeout
};

// Parses one step; false with *error for an unknown verb or a missing or surplus argument.
bool ParseStep(const std::wstring& text, Step* step, std::wstring* error);

}  // namespace zs::uidriver
