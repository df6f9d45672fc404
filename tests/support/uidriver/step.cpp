#include "step.h"

namespace zs::uidriver {

namespace {

enum class Argument { kNone, kText, kMilliseconds, kListItem, kButton };

struct VerbSpelling {
    const wchar_t* name;
    Verb verb;
    Argument argument;
};

constexpr VerbSpelling kVerbs[] = {
    {L"wait", Verb::kWait, Argument::kText},
    {L"wait-any", Verb::kWaitAny, Argument::kNone},
    {L"wait-gone", Verb::kWaitGone, Argument::kNone},
    {L"dump", Verb::kDump, Argument::kNone},
    {L"select", Verb::kSelect, Argument::kListItem},
    {L"dblclick", Verb::kDoubleClick, Argument::kListItem},
    {L"press", Verb::kPress, Argument::kButton},
    {L"escape", Verb::kEscape, Argument::kNone},
    {L"close", Verb::kClose, Argument::kNone},
    {L"sync", Verb::kSync, Argument::kText},
    {L"sleep", Verb::kSleep, Argument::kMilliseconds},
    {L"timeout", Verb::kTimeout, Argument::kMilliseconds},
    {L"wait-exit", Verb::kWaitExit, Argument::kNone},
    {L"kill", Verb::kKill, Argument::kNone},
    {L"wait-dump", Verb::kWaitDump, Argument::kText},
    {L"watch-exit", Verb::kWatchExit, Argument::kNone},
    {L"ok-until-exit", Verb::kOkUntilExit, Argument::kNone},
};

// A whole non-negative decimal number, or -1.
int ParseNumber(const std::wstring& text) {
    if (text.empty() || text.size() > 9) return -1;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return -1;
        value = value * 10 + (c - L'0');
    }
    return value;
}

// "#N" sets step->number; anything else is a text.
void ParseTextOrNumber(const std::wstring& text, Step* step) {
    if (text.size() > 1 && text[0] == L'#' && ParseNumber(text.substr(1)) >= 0) {
        step->number = ParseNumber(text.substr(1));
    } else {
        step->argument = text;
    }
}

}  // namespace

bool ParseStep(const std::wstring& text, Step* step, std::wstring* error) {
    *step = Step{};
    step->text = text;
    size_t blank = text.find(L' ');
    std::wstring name = text.substr(0, blank);
    std::wstring rest = blank == std::wstring::npos ? L"" : text.substr(blank + 1);

    const VerbSpelling* spelling = nullptr;
    for (const VerbSpelling& candidate : kVerbs) {
        if (name == candidate.name) spelling = &candidate;
    }
    if (spelling == nullptr) {
        *error = L"unknown step \"" + name + L"\"";
        return false;
    }
    step->verb = spelling->verb;
    if (spelling->argument == Argument::kNone) {
        if (!rest.empty()) *error = L"\"" + name + L"\" takes no argument";
        return rest.empty();
    }
    if (rest.empty()) {
        *error = L"\"" + name + L"\" needs an argument";
        return false;
    }
    switch (spelling->argument) {
        case Argument::kText:
            step->argument = rest;
            return true;
        case Argument::kMilliseconds:
            step->number = ParseNumber(rest);
            if (step->number < 0) *error = L"\"" + name + L"\" needs a number of milliseconds";
            return step->number >= 0;
        case Argument::kListItem:
            if (rest[0] == L'@') {
                size_t end = rest.find(L' ');
                step->controlId = ParseNumber(rest.substr(1, end == std::wstring::npos ? end : end - 1));
                if (step->controlId <= 0 || end == std::wstring::npos) {
                    *error = L"\"" + name + L"\" needs \"@ID ITEM\" with a control ID";
                    return false;
                }
                rest = rest.substr(end + 1);
                if (rest.empty()) {
                    *error = L"\"" + name + L"\" needs an item after the control ID";
                    return false;
                }
            }
            ParseTextOrNumber(rest, step);
            return true;
        case Argument::kButton:
            ParseTextOrNumber(rest, step);
            return true;
        case Argument::kNone:
            break;
    }
    return true;
}

}  // namespace zs::uidriver
