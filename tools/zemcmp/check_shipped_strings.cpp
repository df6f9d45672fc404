#include "check_shipped_strings.h"

#include "framework/format_string.h"
#include "language/messages.h"
#include "reslib/resource_ids.h"

namespace zs::zemcmp {

language::StringLoader ShippedStringLoader() {
    return [](int id) -> std::optional<std::string> {
        for (size_t i = 0; i < kShippedStringCount; ++i) {
            if (kShippedStrings[i].id == id) return std::string(kShippedStrings[i].text);
        }
        return std::nullopt;
    };
}

const std::vector<language::CatalogueEntry>& ShippedCatalogue() {
    static const std::vector<language::CatalogueEntry> catalogue =
        language::ReadCatalogue(ShippedStringLoader(), LogSink());
    return catalogue;
}

int EnglishMessageId(int offset) {
    return language::MessageId(IDS_ENGLISH_BASE, offset);
}

std::string EnglishMessage(int offset, const std::string& argument) {
    std::string message = language::LoadMessage(ShippedStringLoader(), IDS_ENGLISH_BASE, offset);
    return framework::FillArgument1(message, argument);
}

}  // namespace zs::zemcmp
