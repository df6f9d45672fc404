// The temporary directory of a local or administrative run, put back as the run found it:
// - a directory the run created goes whole at the end, with everything in it;
// - in a directory that existed, a file that was there before the run is never opened for writing: before a
//   start-up file takes its name, it is moved aside within the directory (an atomic rename that needs no
//   space) under NAME.setup-saved-PID (with "-2", "-3", ... added should that name be taken). At the end
//   every file the run or the main module created is deleted, every file set aside is moved back, and the
//   directory is removed only when it was empty before and is empty again. Subdirectories that appeared are
//   left, and so is everything that was there before and not in the way.
// A run that is killed half-way leaves the set-aside files under their set-aside names; a later run takes
// the directory as it finds it, those files included.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zs::bootstrap {

class TargetDirectory {
  public:
    // Remembers the directory (a full path ending in a backslash) as the run finds it, before anything is
    // staged; `created` when the run has just made it.
    void TakeOver(const std::string& directory, bool created);

    // Before a start-up file is created at `path` (a file of the directory): a file that was there before the
    // run is moved aside. False when it is in the way and cannot be moved.
    bool MakeRoomFor(const std::string& path);

    // Puts the directory back (see above) and leaves "c:\" as the current directory. Does nothing before
    // TakeOver or a second time.
    void Restore();

  private:
    void RestorePreExisting();

    std::string directory_;
    bool active_ = false;
    bool created_ = false;
    std::vector<std::string> namesFound_;  // upper-cased names of the entries there before the run, sorted
    std::vector<std::pair<std::string, std::string>> setAside_;  // original path, set-aside path
};

}  // namespace zs::bootstrap
