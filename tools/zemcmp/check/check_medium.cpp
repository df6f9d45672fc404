#include "check/check_medium.h"

#include "check/check_host.h"
#include "check/check_lints.h"
#include "check/medium_directory.h"
#include "check/stop_findings.h"
#include "files/parallel_files.h"
#include "profile/ini_file_reader.h"
#include "startup/compressed_name.h"
#include "startup/list_file.h"
#include "startup/start_up_entries.h"
#include "startup/start_up_seals.h"
#include "startup/start_up_sequence.h"

namespace zs::zemcmp {
namespace {

// Expands the compressed start-up files the sequence will come to, side by side on `workers`, so that its
// steps find each result ready; the output of a file that a seal names is hashed in the same pass. Decoding
// is what takes the check's time on a medium of large files.
void ExpandAhead(const MediumDirectory& medium, CheckHost& host, int workers) {
    MediumFile listFile = medium.Find(bootstrap::kListFileName);
    if (!listFile.IsFile()) return;
    const bootstrap::IniFileReader reader(listFile.path);
    std::vector<MediumFile> files;
    std::vector<bool> sealed;
    for (const std::string& name : bootstrap::CollectStartUpFiles(reader, false).fileNames) {
        if (medium.Find(name).Exists()) continue;
        std::string compressed = MakeCompressedName(medium.windowsPath() + name);
        MediumFile file = medium.Find(compressed.substr(compressed.rfind('\\') + 1));
        if (!file.IsFile()) continue;
        files.push_back(file);
        sealed.push_back(bootstrap::ReadSeal(reader, name).has_value());
    }
    std::vector<Expansion> results(files.size());
    FileJobOptions options;
    options.workers = workers;
    RunFileJobs(
        files.size(), options,
        [&](size_t i, JobCodec& codec) {
            OpenFile source;
            OpenFile sink;
            if (!OpenForReading(files[i].path, &source, &results[i].problem) ||
                !OpenNullSink(&sink, &results[i].problem)) {
                return;
            }
            CMPHEADER header;
            Sha256 output;
            results[i].result =
                codec.Decompress(source.handle(), sink.handle(), &header, 1, sealed[i] ? &output : nullptr);
            if (sealed[i]) {
                output.Final(results[i].digest);
                results[i].hashed = true;
            }
        },
        [&](size_t i) { host.SetExpansion(files[i].path, results[i]); });
}

}  // namespace

CheckReport CheckMedium(const std::string& directory, const std::string& windowsPath, int workers) {
    CheckReport report;
    report.directory = directory;
    MediumDirectory medium;
    std::string problem;
    if (!medium.Open(directory, windowsPath, &problem)) {
        report.Add(FindingCode::kMediumUnreadable, directory + ": " + problem);
        return report;
    }
    CheckLints lints(report, medium);
    StopFindings stops(report);
    CheckHost host(medium, lints, stops);
    lints.CheckMediumNames();
    host.StartSetupProgram();
    lints.CheckWorkstationRun();
    ExpandAhead(medium, host, workers);
    const int exitStatus = bootstrap::StartUpSequence(host).Run();
    stops.Finish(host, exitStatus);
    lints.ReportUnreadKeys(host);
    return report;
}

}  // namespace zs::zemcmp
