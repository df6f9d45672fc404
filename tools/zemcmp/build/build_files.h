// One file of a build, written into the directory the build is made in: copied as it is, or compressed under
// its compressed name; a start-up file's contents are hashed for its seal on the way. Runs as a job of
// RunFileJobs (parallel_files.h): it prints nothing and leaves everything in its result.
#pragma once

#include <cstdint>
#include <string>

#include "build/build_plan.h"
#include "files/parallel_files.h"
#include "startup/sha256.h"

namespace zs::zemcmp {

struct BuiltFile {
    bool ok = false;
    std::string problem;
    uint64_t inputBytes = 0;
    uint64_t outputBytes = 0;
    uint8_t digest[kSha256DigestSize] = {};  // of the contents, for a start-up file
};

// Writes `file` into `directory` and gives it the modification time of its source, so that a build of an
// unchanged source is the same to the last time stamp.
void BuildFile(const PlannedFile& file, const std::string& directory, JobCodec& codec, BuiltFile* built);

}  // namespace zs::zemcmp
