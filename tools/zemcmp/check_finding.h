// What `zemcmp check` finds on a medium: one finding per problem, each naming the file, section, key and
// value at fault, saying in plain words what setup.exe would do, and giving the English text of the message
// that setup.exe would show, if any.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zs::zemcmp {

enum class Severity {
    kError,    // setup.exe would stop (with the message given, or silently)
    kWarning,  // setup.exe would go on, but silently do something that is probably not meant
    kNote,     // worth knowing; changes nothing in what setup.exe does
};

// Where the message that setup.exe shows comes from.
enum class MessageSource {
    kNone,          // setup.exe shows nothing
    kFixedText,     // one of setup.exe's own English texts
    kEnglishBlock,  // a string of the English block, shown before the user has chosen a language
    kChosenBlock,   // a string of the chosen language's block; the English text is given
};

struct Finding {
    Severity severity = Severity::kNote;
    std::string code;     // a stable identifier of the kind of finding, such as "start-up-file-missing"
    std::string file;     // the file on the medium the finding is about; empty for the medium as a whole
    std::string section;  // the INI section at fault, or empty
    std::string key;      // the INI key at fault, or empty
    std::optional<std::string> value;  // the key's value as written in the file (never cut)
    std::string text;                  // what is wrong, in plain words
    MessageSource messageSource = MessageSource::kNone;
    int messageId = 0;    // the message's string ID in the English block (101 .. 113); 0 for none or fixed
    std::string message;  // the message as setup.exe would show it, in English; empty for none

    // Builders, so that a check reads as one statement.
    Finding& At(std::string fileName, std::string sectionName = {}, std::string keyName = {});
    Finding& WithValue(std::string valueText);
    Finding& Shows(MessageSource source, int id, std::string messageText);
};

struct CheckReport {
    std::string directory;
    std::vector<Finding> findings;

    Finding& Add(Severity severity, std::string code, std::string text);
    int Count(Severity severity) const;
};

// 2 when there is an error, 1 when there are warnings and `strict` is set, else 0. Notes never count.
int CheckExitStatus(const CheckReport& report, bool strict);

const char* SeverityName(Severity severity);

}  // namespace zs::zemcmp
