// Runs independent per-file jobs on several worker threads, each worker with a codec state of its own, and
// hands every job's result back on the calling thread in the order of the jobs.
//
// Every call of the codec through a JobCodec starts from a fresh state, as the first file of a fresh process
// would: a file's output depends on that file alone, never on the number of workers or on which worker ran
// it. With one worker the jobs run on the calling thread, one after another, each delivered at once.
//
// The rules for a job: it runs on a worker thread, so it prints nothing and touches no state that another
// job touches; it codes through the JobCodec it is given (never through the exported functions, which share
// the process's one static state) and leaves its result where the delivery will find it, such as element i
// of a vector the caller made beforehand. Delivery runs on the calling thread once job i and every job
// before it have finished: that is where messages are printed, in the order of the arguments. An exception
// thrown by a job is thrown again by RunFileJobs when that job's turn to be delivered comes.
//
// A caller that decodes a medium's compressed start-up files into a null sink (the check) would do:
//
//     std::vector<int> results(files.size());
//     FileJobOptions options;
//     options.workers = commandLine.jobs;  // 0: one per processor
//     RunFileJobs(files.size(), options,
//         [&](size_t i, JobCodec& codec) {
//             OpenFile source, sink;
//             std::string problem;
//             if (!OpenForReading(files[i].path, &source, &problem) || !OpenNullSink(&sink, &problem)) {
//                 results[i] = kCannotOpen;  // (with `problem` kept beside it)
//                 return;
//             }
//             CMPHEADER header;
//             results[i] = codec.Decompress(source.handle(), sink.handle(), &header, 1);
//         },
//         [&](size_t i) {
//             if (results[i] != CMP_OK) Report(files[i], results[i]);
//         });
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compress/cmpfile.h"
#include "startup/sha256.h"

namespace zs::codec {
struct CodecState;
}

namespace zs::zemcmp {

class RunProgress;

// The codec as a job sees it: the three functions of the format on its worker's own state.
class JobCodec {
  public:
    explicit JobCodec(RunProgress* progress, bool describesRun);
    ~JobCodec();
    JobCodec(const JobCodec&) = delete;
    JobCodec& operator=(const JobCodec&) = delete;

    // As CompressFile32 and DecompressFile32, each from a fresh state. CMP_STREAM_OPEN_FAILED when the
    // worker has no memory for a state. An output hash gets the uncompressed bytes as they are written.
    int Compress(int source, int destination, CMPHEADER* header);
    int Decompress(int source, int destination, CMPHEADER* header, int readHeader,
                   Sha256* outputHash = nullptr);
    // The bytes that the last Compress or Decompress read from its source (after the 32-byte header).
    uint64_t BytesRead() const { return bytesRead_; }
    // Names the file for the progress line of a run of one file.
    void Describe(const std::string& name, uint64_t size);

  private:
    static void OnBytesRead(void* context, uint64_t bytesRead);
    void Begin();

    codec::CodecState* state_;
    RunProgress* progress_;
    bool describesRun_;
    uint64_t bytesRead_ = 0;
};

struct FileJobOptions {
    // Worker threads; 0: one for each processor. Never more than there are jobs.
    int workers = 0;
    // The progress line on standard error (drawn only when it is a terminal).
    bool showProgress = false;
    // after[i]: jobs that must have finished before job i starts (a job that reads or replaces what an
    // earlier one writes). Each listed job comes before i. Empty: the jobs are independent.
    std::vector<std::vector<size_t>> after;
};

using FileJob = std::function<void(size_t index, JobCodec& codec)>;
using FileDelivery = std::function<void(size_t index)>;

void RunFileJobs(size_t count, const FileJobOptions& options, const FileJob& run,
                 const FileDelivery& deliver);

// The number of workers RunFileJobs uses for `count` jobs with `requested` workers (0: one per processor).
int WorkerCount(size_t count, int requested);

}  // namespace zs::zemcmp
