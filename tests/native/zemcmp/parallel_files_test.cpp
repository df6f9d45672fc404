// RunFileJobs, the part of the media tool that codes files side by side: delivery in job order whatever order
// the jobs finish in, jobs held back until the ones they wait for are done, a failing job that fails only
// itself, and a codec that starts afresh for every job.
#include "files/parallel_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

#include "compress/codec_control.h"
#include "platform/platform.h"

namespace zs::zemcmp {
namespace {

// A file after which "   aab   bbabaabab bab" codes differently unless the window is cleared: the stale
// look-ahead bytes change which of several equally long candidates the search meets first.
std::vector<uint8_t> Previous() {
    std::vector<uint8_t> bytes(20000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>("ab "[(i * i + i / 7) % 3]);
    return bytes;
}

// An anonymous file holding `bytes`, at its start.
int FileWith(const std::vector<uint8_t>& bytes) {
    FILE* file = std::tmpfile();
    int fd = ::dup(fileno(file));
    std::fclose(file);
    if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("write failed");
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

std::vector<uint8_t> Contents(int fd) {
    std::vector<uint8_t> bytes(static_cast<size_t>(::lseek(fd, 0, SEEK_END)));
    if (!bytes.empty() && ::pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("read failed");
    }
    return bytes;
}

std::vector<uint8_t> Compressed(JobCodec& codec, const std::vector<uint8_t>& input, int* result) {
    int source = FileWith(input);
    int destination = FileWith({});
    CMPHEADER header{};
    *result = codec.Compress(source, destination, &header);
    std::vector<uint8_t> output = Contents(destination);
    ::close(source);
    ::close(destination);
    return output;
}

TEST(ParallelFiles, DeliversInJobOrderWhateverOrderTheJobsFinishIn) {
    const size_t count = 12;
    std::vector<size_t> delivered;
    std::vector<int> ran(count, 0);
    std::atomic<int> running{0}, mostAtOnce{0};
    FileJobOptions options;
    options.workers = 4;
    RunFileJobs(
        count, options,
        [&](size_t i, JobCodec&) {
            int now = ++running;
            for (int seen = mostAtOnce; now > seen && !mostAtOnce.compare_exchange_weak(seen, now);) {
            }
            // The early jobs take longest, so the later ones finish first.
            std::this_thread::sleep_for(std::chrono::milliseconds(5 * (count - i)));
            ran[i] = 1;
            --running;
        },
        [&](size_t i) {
            EXPECT_EQ(ran[i], 1) << "job " << i << " delivered before it finished";
            delivered.push_back(i);
        });
    std::vector<size_t> expected(count);
    for (size_t i = 0; i < count; ++i) expected[i] = i;
    EXPECT_EQ(delivered, expected);
    EXPECT_GT(mostAtOnce.load(), 1) << "the jobs ran one after another";
    EXPECT_LE(mostAtOnce.load(), 4);
}

TEST(ParallelFiles, AJobStartsOnlyAfterTheJobsItWaitsFor) {
    const size_t count = 6;
    std::vector<std::atomic<int>> finished(count);
    std::vector<int> sawPrerequisite(count, -1);
    FileJobOptions options;
    options.workers = 3;
    options.after.resize(count);
    options.after[2] = {0};     // 0 is slow: 2 waits, and 3..5 queue behind it
    options.after[4] = {1, 3};  // two at once
    RunFileJobs(
        count, options,
        [&](size_t i, JobCodec&) {
            if (i == 0) std::this_thread::sleep_for(std::chrono::milliseconds(60));
            if (i == 2) sawPrerequisite[i] = finished[0].load();
            if (i == 4) sawPrerequisite[i] = finished[1].load() + finished[3].load();
            finished[i] = 1;
        },
        [&](size_t) {});
    EXPECT_EQ(sawPrerequisite[2], 1);
    EXPECT_EQ(sawPrerequisite[4], 2);
}

TEST(ParallelFiles, AThrowingJobIsReportedAtItsTurnAfterTheJobsBeforeIt) {
    for (int workers : {1, 3}) {
        std::vector<size_t> delivered;
        FileJobOptions options;
        options.workers = workers;
        EXPECT_THROW(RunFileJobs(
                         5, options,
                         [&](size_t i, JobCodec&) {
                             if (i == 2) throw std::runtime_error("job 2 failed");
                         },
                         [&](size_t i) { delivered.push_back(i); }),
                     std::runtime_error);
        EXPECT_EQ(delivered, (std::vector<size_t>{0, 1})) << workers << " workers";
    }
}

// Each call starts from the state of a fresh process: the window a previous job left behind (which would
// change the code of a short file) is cleared, on every worker.
TEST(ParallelFiles, EveryJobCodesAsTheFirstFileOfAFreshProcess) {
    const char* text = "   aab   bbabaabab bab";
    std::vector<uint8_t> small(text, text + std::strlen(text));
    codec::ResetCodecState();
    int fd = FileWith(small), out = FileWith({});
    CMPHEADER header{};
    ASSERT_EQ(CompressFile32(fd, out, &header), CMP_OK);
    std::vector<uint8_t> fresh = Contents(out);
    ::close(fd);
    ::close(out);

    const size_t count = 16;
    std::vector<std::vector<uint8_t>> outputs(count);
    std::vector<int> results(count, -1);
    std::vector<uint64_t> read(count);
    FileJobOptions options;
    options.workers = 3;
    RunFileJobs(
        count, options,
        [&](size_t i, JobCodec& codec) {
            // Odd jobs code another file first on the same worker.
            if (i % 2 == 1) Compressed(codec, Previous(), &results[i]);
            outputs[i] = Compressed(codec, small, &results[i]);
            read[i] = codec.BytesRead();
        },
        [&](size_t) {});
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(results[i], CMP_OK) << i;
        EXPECT_EQ(outputs[i], fresh) << "job " << i;
        EXPECT_EQ(read[i], small.size()) << i;
    }
}

TEST(ParallelFiles, UsesNoMoreWorkersThanJobsAndOneByDefaultPerProcessor) {
    EXPECT_EQ(WorkerCount(1, 8), 1);
    EXPECT_EQ(WorkerCount(5, 3), 3);
    EXPECT_EQ(WorkerCount(100, 0), std::min(100, ProcessorCount()));
    EXPECT_EQ(WorkerCount(0, 0), 1);
}

}  // namespace
}  // namespace zs::zemcmp
