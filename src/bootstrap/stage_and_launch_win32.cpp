// This build does not stage the start-up files yet: the run ends where staging would begin, cleanly, with
// kExitReachedStaging. The temporary directory stays as the sequence left it.
//
// So that the state reached can be checked from outside, the run state is written, one "name=value" line
// each, to the file named by the environment variable ZS_SETUP_STAGING_REPORT when it is set. Nothing else
// reads that variable, and the staging step that replaces this file drops it.
#include "bootstrap/stage_and_launch_win32.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bootstrap/setup_globals.h"

namespace zs::bootstrap {
namespace {

void WriteStagingReport(const SetupApp& app, const SetupRun& run) {
    const char* path = std::getenv("ZS_SETUP_STAGING_REPORT");
    if (!path || !*path) return;
    std::FILE* report = std::fopen(path, "w");
    if (!report) return;
    auto line = [report](const char* name, const std::string& value) {
        std::fprintf(report, "%s=%s\n", name, value.c_str());
    };
    line("sourceDirectory", run.sourceDirectory);
    line("listFilePath", run.listFilePath);
    line("targetDirectory", run.targetDirectory);
    line("appName", run.appName);
    line("languageName", run.selection.languageName);
    line("languageBase", std::to_string(run.selection.languageBase));
    line("adminMode", run.adminMode ? "1" : "0");
    line("workstation", std::to_string(app.m_bWorkstation));
    line("locationMode", std::to_string(g_bStandard));
    line("caption", g_strCaption);
    line("supportedLanguages", app.m_strLanguages);
    std::fclose(report);
}

}  // namespace

int StageAndLaunch(SetupApp& app, SetupRun& run) {
    WriteStagingReport(app, run);
    run.pleaseWait.reset();
    run.cursor.Restore();
    run.resourceLibrary.Release();
    return kExitReachedStaging;
}

}  // namespace zs::bootstrap
