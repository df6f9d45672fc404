#include "check/hook_export.h"

#include <cstdint>
#include <optional>

#include "reslib/hook_name.h"
#include "startup/hook_command.h"

namespace zs::zemcmp {
namespace {

uint32_t Little32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

bool Starts(const std::optional<std::string>& code, const std::string& prefix) {
    return code && code->compare(0, prefix.size(), prefix) == 0;
}

// The address (relative to the image) of the text the function returns; nothing for code of another form.
std::optional<uint32_t> ReturnedAddress(const PeImage& library, uint32_t function) {
    if (library.machine == kMachineI386) {
        std::optional<std::string> code = library.ReadBytes(function, 6);
        if (!Starts(code, "\xB8") || (*code)[5] != '\xC3') return std::nullopt;
        const uint64_t address = Little32(*code, 1);
        if (address < library.imageBase || address - library.imageBase > UINT32_MAX) return std::nullopt;
        return static_cast<uint32_t>(address - library.imageBase);
    }
    if (library.machine == kMachineAmd64) {
        std::optional<std::string> code = library.ReadBytes(function, 8);
        if (!Starts(code, std::string("\x48\x8D\x05", 3)) || (*code)[7] != '\xC3') return std::nullopt;
        // The displacement counts from the end of the 7-byte instruction, modulo the 32-bit address space.
        return static_cast<uint32_t>(function + 7 + Little32(*code, 3));
    }
    return std::nullopt;
}

}  // namespace

HookExport ReadHookExport(const PeImage& library) {
    HookExport hook;
    std::optional<uint32_t> function = library.ExportAddress(reslib::kGetHookNameExport);
    if (!function) return hook;
    hook.kind = HookExport::kUnknown;
    std::optional<std::string> start = library.ReadBytes(*function, 3);
    if (Starts(start, "\x31\xC0\xC3") || Starts(start, "\x33\xC0\xC3")) {
        hook.kind = HookExport::kNoText;
        return hook;
    }
    std::optional<uint32_t> text = ReturnedAddress(library, *function);
    // A text in a writable section may be changed when the library loads, before setup.exe asks for it.
    if (!text || !library.ReadBytes(*text, 1) || library.IsWritable(*text)) return hook;
    hook.text = library.ReadText(*text, bootstrap::kHookCommandBufferSize);
    hook.kind = hook.text.empty() ? HookExport::kNoText : HookExport::kConstantText;
    return hook;
}

}  // namespace zs::zemcmp
