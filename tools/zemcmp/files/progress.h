// The progress line on standard error, shown only when standard error is a terminal: for one file, its name,
// the share done and the rate; for a run of several, the files done of all and the rate.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace zs::zemcmp {

// One line that is redrawn in place and erased before other output.
class ProgressLine {
  public:
    explicit ProgressLine(bool enabled);
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool enabled() const { return enabled_; }
    // True when the line should be drawn now: the run has lasted long enough to be worth a line, and the
    // last drawing is not too recent.
    bool Due();
    void Show(const std::string& text);
    void Clear();
    // Seconds since the line was made.
    double Elapsed() const;

  private:
    using Clock = std::chrono::steady_clock;

    bool enabled_;
    size_t shownWidth_ = 0;
    Clock::time_point start_;
    Clock::time_point lastShown_;
};

// "12.3 MB/s" for `bytes` in `seconds`.
std::string FormatRate(uint64_t bytes, double seconds);

// The progress of one file being coded (used by the check, file by file).
class ProgressDisplay {
  public:
    ProgressDisplay(std::string name, uint64_t total);
    void Update(uint64_t done);

  private:
    std::string name_;
    uint64_t total_;
    ProgressLine line_;
};

// The progress of a run over several files, fed from any thread and drawn by the thread that runs the run.
class RunProgress {
  public:
    RunProgress(bool enabled, size_t files);

    void AddBytes(uint64_t bytes) { bytes_ += bytes; }  // any thread
    void FileDone() { ++done_; }                        // any thread
    // The name and size of the one file of a single-file run (from the thread that runs the run).
    void Describe(const std::string& name, uint64_t size);
    void Tick();  // draws the line when due
    void Clear() { line_.Clear(); }

  private:
    std::atomic<uint64_t> bytes_{0};
    std::atomic<size_t> done_{0};
    size_t files_;
    std::string name_;
    uint64_t size_ = 0;
    ProgressLine line_;
};

}  // namespace zs::zemcmp
