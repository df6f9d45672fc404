// The headers of a program stored in the compressed format (a medium's _SETUP.EX_), read without expanding
// the whole program: only its start is expanded, into a temporary file, and only as far as the headers reach.
// Memory and time stay the same whatever the size of the program.
#pragma once

#include <optional>
#include <string>

#include "pe/pe_image.h"

namespace zs::zemcmp {

// PeImage::ParseHeaders on the expanded contents of the compressed file at `path`. Nothing, with the reason
// in *problem, when the file cannot be read or expanded as far as the headers reach, or Windows' loader would
// refuse the image.
std::optional<PeImage> ReadCompressedImageHeaders(const std::string& path, std::string* problem);

}  // namespace zs::zemcmp
