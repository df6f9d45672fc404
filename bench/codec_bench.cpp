// CompressFile32 and DecompressFile32 on a corpus file, timed apart, with a plain file copy through the same
// kind of handles as the baseline; the expansion and the copy also with the SHA-256 of what they write, as
// setup.exe stages a sealed start-up file. The compressed copy is made and checked outside the timed regions.
//
// Usage: codec_bench CORPUS [benchmark options]
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "compress/cmpfile.h"
#include "compress/codec_control.h"
#include "startup/sha256.h"

namespace {

std::string g_corpusPath;

int MemoryFileWith(const std::vector<char>& bytes) {
    int fd = memfd_create("bench", 0);
    if (!bytes.empty() && write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    lseek(fd, 0, SEEK_SET);
    return fd;
}

std::vector<char> ReadAll(int fd) {
    struct stat st;
    fstat(fd, &st);
    std::vector<char> bytes(static_cast<size_t>(st.st_size));
    if (pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) std::abort();
    return bytes;
}

const std::vector<char>& Corpus() {
    static std::vector<char> bytes = [] {
        int fd = open(g_corpusPath.c_str(), O_RDONLY);
        if (fd < 0) {
            std::perror(g_corpusPath.c_str());
            std::exit(2);
        }
        std::vector<char> all = ReadAll(fd);
        close(fd);
        return all;
    }();
    return bytes;
}

const std::vector<char>& CompressedCorpus() {
    static std::vector<char> bytes = [] {
        int source = MemoryFileWith(Corpus());
        int destination = memfd_create("bench", 0);
        CMPHEADER header{};
        if (CompressFile32(source, destination, &header) != CMP_OK) std::abort();
        std::vector<char> out = ReadAll(destination);
        close(source);
        close(destination);
        return out;
    }();
    return bytes;
}

void Rewind(int fd) {
    lseek(fd, 0, SEEK_SET);
}
void Empty(int fd) {
    if (ftruncate(fd, 0) != 0) std::abort();
    Rewind(fd);
}

void BM_Compress(benchmark::State& state) {
    int source = MemoryFileWith(Corpus());
    int destination = memfd_create("bench", 0);
    for (auto _ : state) {
        state.PauseTiming();
        Rewind(source);
        Empty(destination);
        zs::codec::ResetCodecState();
        state.ResumeTiming();
        CMPHEADER header{};
        if (CompressFile32(source, destination, &header) != CMP_OK) state.SkipWithError("compression failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Corpus().size()));
    state.counters["ratio"] =
        static_cast<double>(CompressedCorpus().size()) / static_cast<double>(Corpus().size());
    close(source);
    close(destination);
}

void BM_Decompress(benchmark::State& state) {
    int source = MemoryFileWith(CompressedCorpus());
    int destination = memfd_create("bench", 0);
    for (auto _ : state) {
        state.PauseTiming();
        Rewind(source);
        Empty(destination);
        state.ResumeTiming();
        CMPHEADER header;
        if (DecompressFile32(source, destination, &header, 1) != CMP_OK)
            state.SkipWithError("expansion failed");
    }
    // Bytes of output, as an expander's speed is usually given.
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Corpus().size()));
    if (ReadAll(destination) != Corpus()) state.SkipWithError("expanded bytes differ from the corpus");
    close(source);
    close(destination);
}

// Expansion as setup.exe stages a sealed start-up file: the output hashed from the write stream's buffer as
// it is written. Against BM_Decompress, the cost of the seal.
void BM_DecompressHashed(benchmark::State& state) {
    int source = MemoryFileWith(CompressedCorpus());
    int destination = memfd_create("bench", 0);
    uint8_t digest[zs::kSha256DigestSize];
    for (auto _ : state) {
        state.PauseTiming();
        Rewind(source);
        Empty(destination);
        state.ResumeTiming();
        zs::Sha256 hash;
        zs::codec::SetWriteObserver(&zs::Sha256::UpdateOf, &hash);
        CMPHEADER header;
        if (DecompressFile32(source, destination, &header, 1) != CMP_OK)
            state.SkipWithError("expansion failed");
        zs::codec::SetWriteObserver(nullptr, nullptr);
        hash.Final(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Corpus().size()));
    zs::Sha256 check;
    check.Update(Corpus().data(), Corpus().size());
    uint8_t expected[zs::kSha256DigestSize];
    check.Final(expected);
    if (std::memcmp(digest, expected, sizeof digest) != 0)
        state.SkipWithError("the digest is not the corpus's");
    close(source);
    close(destination);
}

// The baseline: the same bytes read and written through the same kind of handles in 65,500-byte pieces; with
// `hashed`, each piece is hashed as well, as setup.exe copies a sealed plain start-up file.
void PlainCopy(benchmark::State& state, bool hashed) {
    int source = MemoryFileWith(Corpus());
    int destination = memfd_create("bench", 0);
    std::vector<char> buffer(65500);
    uint8_t digest[zs::kSha256DigestSize];
    for (auto _ : state) {
        state.PauseTiming();
        Rewind(source);
        Empty(destination);
        state.ResumeTiming();
        zs::Sha256 hash;
        ssize_t got;
        while ((got = read(source, buffer.data(), buffer.size())) > 0) {
            if (hashed) hash.Update(buffer.data(), static_cast<size_t>(got));
            if (write(destination, buffer.data(), static_cast<size_t>(got)) != got)
                state.SkipWithError("write failed");
        }
        if (hashed) hash.Final(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Corpus().size()));
    close(source);
    close(destination);
}

void BM_PlainCopy(benchmark::State& state) {
    PlainCopy(state, false);
}

void BM_PlainCopyHashed(benchmark::State& state) {
    PlainCopy(state, true);
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopyHashed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Decompress)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecompressHashed)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: %s CORPUS [benchmark options]\n", argv[0]);
        return 2;
    }
    g_corpusPath = argv[1];
    argv[1] = argv[0];
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
