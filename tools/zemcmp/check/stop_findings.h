// The errors of `zemcmp check` and its prediction: every end of the run that the sequence reaches, made into
// a finding from the cause the sequence gives it (step, file, section, key, value, message) and from what the
// stand-ins saw on the way; a setup.exe that Windows would not start at all; and a file the check itself
// could not read. The first end is the one the user meets, and the prediction repeats it.
#pragma once

#include <string>

#include "check/findings.h"
#include "startup/run_outcome.h"

namespace zs::zemcmp {

class CheckHost;

class StopFindings {
  public:
    explicit StopFindings(CheckReport& report) : report_(report) {}

    // Windows would not start setup.exe: nothing of the run happens.
    void ProgramNotStarted(FindingCode code, std::string text, const std::string& name);
    void CheckFailed(std::string text);

    // An end of the run, with the text of its message (empty without one).
    void Report(const CheckHost& host, const bootstrap::RunEnd& end, const std::string& text);
    // After the sequence: a run that did not stop starts the main module (exit status of the sequence).
    void Finish(const CheckHost& host, int exitStatus);

  private:
    void Predict(const CheckHost& host, const bootstrap::RunEnd& end,
                 const std::optional<PredictedMessage>& message);

    CheckReport& report_;
    bool predicted_ = false;
    bool noProgram_ = false;
};

}  // namespace zs::zemcmp
