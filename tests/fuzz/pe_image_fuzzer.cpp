// Arbitrary bytes through the media tool's reader of Windows images: Parse gives an image or a reason, and
// every question asked of an image gives a bounded answer, without reading outside the bytes.
#include <cstdint>
#include <string>

#include "pe/pe_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using zs::zemcmp::PeImage;
    std::string problem;
    std::optional<PeImage> image =
        PeImage::Parse(std::string(reinterpret_cast<const char*>(data), size), &problem);
    if (!image) {
        if (problem.empty()) __builtin_trap();
        return 0;
    }
    if (image->exportNames.size() > zs::zemcmp::kMaxExportNames) __builtin_trap();
    for (const std::string& name : image->exportNames) {
        if (name.size() > zs::zemcmp::kMaxExportNameLength) __builtin_trap();
    }
    image->HasExport("GetHookName");
    image->HasResource(zs::zemcmp::kResourceDialog, 103);
    image->HasResource(zs::zemcmp::kResourceDialog, 105);
    for (int id : {0, 1, 2, 15, 16, 101, 107, 113, 201, 1713, 65535}) {
        std::optional<std::u16string> wide = image->LoadStringUtf16(id);
        std::optional<std::string> ansi = image->LoadStringAnsi(id);
        if (wide.has_value() != ansi.has_value() || (wide && wide->size() != ansi->size())) __builtin_trap();
    }
    zs::zemcmp::LibraryLoadProblem(*image, *image);
    zs::zemcmp::ProgramStartProblem(*image, zs::zemcmp::kMachineAmd64);
    return 0;
}
