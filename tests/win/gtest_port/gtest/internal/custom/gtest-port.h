// GoogleTest's hook for platform adjustments, found before its own empty one when it is built for Windows
// with the MinGW compilers. Their Win32-thread C++ library has no std::mutex or std::condition_variable,
// which GoogleTest's Notification uses; everything else of its Windows threading support is its own.
#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

// Lets a controller thread release threads it created. Only GoogleTest's own tests wait on it, so a spinning
// wait is enough.
class Notification {
  public:
    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

  private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif  // GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
