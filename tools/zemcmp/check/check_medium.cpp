#include "check/check_medium.h"

#include "bootstrap/start_up_sequence.h"
#include "check/check_host.h"
#include "check/medium_directory.h"

namespace zs::zemcmp {

CheckReport CheckMedium(const std::string& directory, const std::string& windowsPath) {
    CheckReport report;
    report.directory = directory;
    MediumDirectory medium;
    std::string problem;
    if (!medium.Open(directory, windowsPath, &problem)) {
        report.Add(FindingCode::kMediumUnreadable, directory + ": " + problem);
        return report;
    }
    CheckHost host(medium, report);
    host.CheckMediumFiles();
    const int exitStatus = bootstrap::StartUpSequence(host).Run();
    host.Finish(exitStatus);
    host.ReportUnreadKeys();
    // The sequence was followed for what it reports; without a program to start, none of it happens.
    for (const Finding& finding : report.findings) {
        if (finding.code == FindingCode::kSetupProgramMissing ||
            finding.code == FindingCode::kSetupProgramUnloadable) {
            report.prediction = Prediction{Prediction::Outcome::kNoProgram, "", 0, std::nullopt, ""};
        }
    }
    return report;
}

}  // namespace zs::zemcmp
