// A percentage on standard error while a long file is coded, shown only when standard error is a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace zs::zemcmp {

class ProgressDisplay {
  public:
    ProgressDisplay(std::string name, uint64_t total);
    ~ProgressDisplay();  // erases the line again
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    void Update(uint64_t done);

  private:
    using Clock = std::chrono::steady_clock;

    std::string name_;
    uint64_t total_;
    bool enabled_;
    bool shown_ = false;
    int lastPercent_ = -1;
    Clock::time_point start_;
    Clock::time_point lastShown_;
};

}  // namespace zs::zemcmp
