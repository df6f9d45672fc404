// One file's run through the codec: the codec starts from the state of a fresh process (so that a file's
// output does not depend on the files coded before it), and the bytes it reads drive a progress display.
#pragma once

#include <cstdint>
#include <string>

#include "files/progress.h"

namespace zs::zemcmp {

class CodecSession {
  public:
    CodecSession(const std::string& name, uint64_t inputSize);
    ~CodecSession();
    CodecSession(const CodecSession&) = delete;
    CodecSession& operator=(const CodecSession&) = delete;

  private:
    static void OnBytesRead(void* context, uint64_t bytesRead);

    ProgressDisplay progress_;
};

enum class CodecTask { kCompress, kExpand, kTest };

// A codec result code in plain words, as the task met it.
std::string DescribeCodecResult(int result, CodecTask task);

}  // namespace zs::zemcmp
