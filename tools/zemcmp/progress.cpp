#include "progress.h"

#include <cstdio>

#include "platform.h"

namespace zs::zemcmp {
namespace {

// Files done sooner than this show nothing; after it, the line changes at most this often.
constexpr auto kQuietTime = std::chrono::milliseconds(500);
constexpr auto kUpdateInterval = std::chrono::milliseconds(200);

}  // namespace

ProgressDisplay::ProgressDisplay(std::string name, uint64_t total)
    : name_(std::move(name)),
      total_(total),
      enabled_(total > 0 && StandardErrorIsTerminal()),
      start_(Clock::now()) {}

ProgressDisplay::~ProgressDisplay() {
    if (shown_) std::fprintf(stderr, "\r%*s\r", static_cast<int>(name_.size() + 16), "");
}

void ProgressDisplay::Update(uint64_t done) {
    if (!enabled_) return;
    Clock::time_point now = Clock::now();
    if (now - start_ < kQuietTime || (shown_ && now - lastShown_ < kUpdateInterval)) return;
    int percent = static_cast<int>((done < total_ ? done : total_) * 100 / total_);
    if (percent == lastPercent_) return;
    std::fprintf(stderr, "\rzemcmp: %s: %3d%%", name_.c_str(), percent);
    std::fflush(stderr);
    shown_ = true;
    lastPercent_ = percent;
    lastShown_ = now;
}

}  // namespace zs::zemcmp
