#include "files/codec_session.h"

#include "compress/cmpfile.h"
#include "compress/codec_control.h"

namespace zs::zemcmp {

CodecSession::CodecSession(const std::string& name, uint64_t inputSize) : progress_(name, inputSize) {
    codec::ResetCodecState();
    codec::SetProgressHook(&CodecSession::OnBytesRead, this);
}

CodecSession::~CodecSession() {
    codec::SetProgressHook(nullptr, nullptr);
}

void CodecSession::OnBytesRead(void* context, uint64_t bytesRead) {
    static_cast<CodecSession*>(context)->progress_.Update(bytesRead);
}

std::string DescribeCodecResult(int result, CodecTask task) {
    switch (result) {
        case CMP_OK:
            return "done";
        case CMP_HEADER_WRITE_FAILED:
            return "cannot write the header of the compressed file (disk full or write error)";
        case CMP_HEADER_READ_SHORT:
            return "cannot read the 32-byte header of the file";
        case CMP_NOT_COMPRESSED:
            return "not a compressed file (it does not start with the compressed-file header)";
        case CMP_NO_FILE_SIZE:
            return "the system reports no size for the file";
        case CMP_BODY_TRUNCATED:
            if (task == CodecTask::kCompress) {
                return "the file delivered fewer bytes than its size (did it change while being read?)";
            }
            return "the compressed data ends early or cannot be read: the file is truncated";
        case CMP_WRITE_FAILED:
            return task == CodecTask::kTest ? "cannot write the decoded data"
                                            : "cannot write the output (disk full or write error)";
        case CMP_STREAM_OPEN_FAILED:
            return "cannot set up the codec's buffers (out of memory?)";
        case CMP_BODY_DAMAGED:
            return "the compressed data is damaged (a match reaches past the uncompressed size)";
        case CMP_SAME_FILE:
            return "the input and the output are the same file";
        default:
            return "the codec failed with the unexpected result " + std::to_string(result);
    }
}

}  // namespace zs::zemcmp
