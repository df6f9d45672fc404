// The portable INI reader on generated list files of about 2, 20 and 60 MB (8,400, 84,000 and 252,000
// start-up entries): building the index from the bytes, and every lookup setup.exe makes of such a file. The
// baseline of the same run is one plain pass over the bytes that counts the lines, the least any reader has
// to do. The same files with only 1,000 distinct key names show what the pass costs while its table of names
// stays in the caches: equal bytes per second at every size there mean that the pass takes linear time.
//
// Usage: profile_reader_bench [benchmark options]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "profile/ini_file_reader.h"

namespace {

using zs::bootstrap::IniFileReader;

constexpr int kEntriesPerMegabyte = 4200;

// A list file with `entries` start-up entries of about 240 bytes each, after the usual sections' keys. With
// `distinctKeys` the entries' key names repeat after that many (the later lines are duplicates).
const std::string& ListFile(int entries, int distinctKeys = 0) {
    static std::map<std::pair<int, int>, std::string> files;
    std::string& file = files[{entries, distinctKeys}];
    if (file.empty()) {
        file =
            "[SetupLang]\r\n0=E\r\n1=English,E\r\n2=Deutsch,E\r\n100=Professional\r\n[StartUp]\r\n"
            "AppName=Example\r\nTmpDirSize=1048576\r\nTmpDirName=C:\\ZSTMP\r\n";
        const std::string padding(200, 'p');
        for (int i = 1; i <= entries; ++i) {
            int key = distinctKeys > 0 ? (i - 1) % distinctKeys + 1 : i;
            file += std::to_string(key) + " = \"FILE" + std::to_string(i) + ".DLL,1 " + padding + "\"\r\n";
        }
    }
    return file;
}

int Entries(const benchmark::State& state) {
    return static_cast<int>(state.range(0)) * kEntriesPerMegabyte;
}

void SetBytes(benchmark::State& state, const std::string& file) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}

void BM_CountLines(benchmark::State& state) {
    const std::string& file = ListFile(Entries(state));
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::count(file.begin(), file.end(), '\n'));
    }
    SetBytes(state, file);
}

void BuildIndex(benchmark::State& state, const std::string& file) {
    std::optional<IniFileReader> reader;
    for (auto _ : state) {
        state.PauseTiming();
        reader.reset();  // the previous index is freed outside the timed region
        std::string bytes = file;
        state.ResumeTiming();
        reader.emplace(IniFileReader::FromBytes(std::move(bytes)));
        benchmark::DoNotOptimize(reader->Sections().data());
    }
    if (reader->Sections().size() != 2 || reader->Sections()[1].keys.size() != size_t(Entries(state)) + 3) {
        state.SkipWithError("the index does not hold every entry");
    }
    SetBytes(state, file);
}

void BM_BuildIndex(benchmark::State& state) {
    BuildIndex(state, ListFile(Entries(state)));
}

void BM_BuildIndexRepeatedKeys(benchmark::State& state) {
    BuildIndex(state, ListFile(Entries(state), 1000));
}

// setup.exe's readings: the filter code, the language entries up to the first empty one, the edition word,
// AppName, TmpDirSize, TmpDirName, and the start-up entries up to the first missing one.
void BM_SetupReadings(benchmark::State& state) {
    const IniFileReader reader = IniFileReader::FromBytes(ListFile(Entries(state)));
    int64_t readings = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.GetString("SetupLang", "0", "", 8));
        for (int i = 1; !reader.GetString("SetupLang", std::to_string(i).c_str(), "", 256).empty(); ++i) {
            ++readings;
        }
        benchmark::DoNotOptimize(reader.GetString("SetupLang", "100", "", 32));
        for (const char* key : {"AppName", "TmpDirSize", "TmpDirName"}) {
            benchmark::DoNotOptimize(reader.GetString("StartUp", key, "NO ENTRY", 32));
        }
        int i = 1;
        while (reader.GetString("StartUp", std::to_string(i).c_str(), "NO ENTRY", 32) != "NO ENTRY") ++i;
        readings += 7 + i;
    }
    state.SetItemsProcessed(readings);
}

BENCHMARK(BM_CountLines)->Arg(2)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndex)->Arg(2)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndexRepeatedKeys)->Arg(2)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetupReadings)->Arg(2)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
