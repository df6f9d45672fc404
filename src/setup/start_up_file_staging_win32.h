// One start-up file staged for real: the source opened for reading (exclusively, as every file of the run),
// then, unless the run is a workstation run, the destination created (after whatever file of the user's stood
// in its place was moved aside, and noted as the run's once it exists) and filled by a plain copy or by the
// codec's expansion.
#pragma once

#include "startup/start_up_host.h"
#include "startup/target_directory_keeper.h"

namespace zs::bootstrap {

// Both files are closed on every path, the destination left as far as it was written when a step fails. A
// close that fails is a failed copy, and so is a copy that cannot allocate its buffer. With a digest, the
// bytes written are hashed on their way out of the copy's or the codec's buffer (no second read), and the
// digest is filled once the file is staged.
StageResult StageStartUpFile(const StagedFile& file, TargetDirectoryKeeper& target, ContentDigest* digest);

}  // namespace zs::bootstrap
