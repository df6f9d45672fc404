#include "files/progress.h"

#include <cstdio>

#include "platform/platform.h"
#include "text/ansi_text.h"

namespace zs::zemcmp {
namespace {

// Runs done sooner than this show nothing; after it, the line changes at most this often.
constexpr auto kQuietTime = std::chrono::milliseconds(500);
constexpr auto kUpdateInterval = std::chrono::milliseconds(200);

int Percent(uint64_t done, uint64_t total) {
    return total == 0 ? 100 : static_cast<int>((done < total ? done : total) * 100 / total);
}

}  // namespace

ProgressLine::ProgressLine(bool enabled)
    : enabled_(enabled && StandardErrorIsTerminal()), start_(Clock::now()) {}

bool ProgressLine::Due() {
    if (!enabled_) return false;
    Clock::time_point now = Clock::now();
    if (now - start_ < kQuietTime || (shownWidth_ > 0 && now - lastShown_ < kUpdateInterval)) return false;
    lastShown_ = now;
    return true;
}

void ProgressLine::Show(const std::string& line) {
    const std::string text = TerminalText(line);
    // Padded to the width of what it replaces, so that no end of a longer line is left standing.
    int pad = shownWidth_ > text.size() ? static_cast<int>(shownWidth_ - text.size()) : 0;
    std::fprintf(stderr, "\r%s%*s", text.c_str(), pad, "");
    std::fflush(stderr);
    shownWidth_ = text.size() + static_cast<size_t>(pad);
}

void ProgressLine::Clear() {
    if (shownWidth_ == 0) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(shownWidth_), "");
    std::fflush(stderr);
    shownWidth_ = 0;
}

double ProgressLine::Elapsed() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

std::string FormatRate(uint64_t bytes, double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB/s",
                  seconds > 0 ? static_cast<double>(bytes) / seconds / 1e6 : 0.0);
    return text;
}

ProgressDisplay::ProgressDisplay(std::string name, uint64_t total)
    : name_(std::move(name)), total_(total), line_(total > 0) {}

void ProgressDisplay::Update(uint64_t done) {
    if (!line_.Due()) return;
    line_.Show("zemcmp: " + name_ + ": " + std::to_string(Percent(done, total_)) + "%, " +
               FormatRate(done, line_.Elapsed()));
}

RunProgress::RunProgress(bool enabled, size_t files) : files_(files), line_(enabled) {}

void RunProgress::Describe(const std::string& name, uint64_t size) {
    name_ = name;
    size_ = size;
}

void RunProgress::Tick() {
    if (!line_.Due()) return;
    uint64_t bytes = bytes_;
    std::string rate = FormatRate(bytes, line_.Elapsed());
    if (files_ == 1 && !name_.empty()) {
        line_.Show("zemcmp: " + name_ + ": " + std::to_string(Percent(bytes, size_)) + "%, " + rate);
    } else {
        line_.Show("zemcmp: " + std::to_string(done_) + " of " + std::to_string(files_) + " files, " + rate);
    }
}

}  // namespace zs::zemcmp
