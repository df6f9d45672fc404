#include "check/medium_directory.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "files/output_names.h"
#include "startup/file_name_rules.h"

namespace zs::zemcmp {
namespace {

// Names as the local system keeps them are looked up as Windows would: a name that Windows cannot hold (such
// as "DATA|1.BIN" or "README.") is no file to it.
bool Holdable(const std::string& localName) {
    return bootstrap::IsValidWindowsFileName(localName) &&
           bootstrap::WithoutTrailingDotsAndBlanks(localName).size() == localName.size();
}

}  // namespace

bool SameFileName(const std::string& a, const std::string& b) {
    return EqualIgnoringAsciiCase(a, b);
}

bool MediumDirectory::Open(const std::string& directory, const std::string& windowsPath, std::string* error) {
    path_ = directory;
    if (!ListDirectory(directory, &entries_, error)) return false;
    std::sort(entries_.begin(), entries_.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    windowsPath_ = windowsPath.empty() ? WindowsPathOfDirectory(directory) : windowsPath;
    if (windowsPath_.empty() || windowsPath_.back() != '\\') windowsPath_ += '\\';
    return true;
}

MediumFile MediumDirectory::Find(const std::string& name) const {
    MediumFile file;
    file.name = name;
    if (bootstrap::IsDeviceName(name)) {
        file.device = true;
        file.kind = PathKind::kOther;
        return file;
    }
    if (!bootstrap::IsValidWindowsFileName(name)) return file;
    const std::string wanted = LocalFileName(std::string(bootstrap::WithoutTrailingDotsAndBlanks(name)));
    const DirectoryEntry* chosen = nullptr;
    for (const DirectoryEntry& entry : entries_) {
        if (entry.name == wanted && Holdable(entry.name)) chosen = &entry;
    }
    for (const DirectoryEntry& entry : entries_) {
        if (&entry == chosen || !Holdable(entry.name) || !SameFileName(entry.name, wanted)) continue;
        if (chosen == nullptr) {
            chosen = &entry;
        } else {
            file.otherCases.push_back(entry.name);
        }
    }
    if (chosen == nullptr) return file;
    file.actualName = chosen->name;
    file.path = JoinPath(path_, chosen->name);
    file.kind = chosen->kind;
    file.caseDiffers = chosen->name != wanted;
    return file;
}

std::vector<std::string> MediumDirectory::UnholdableNames() const {
    std::vector<std::string> names;
    for (const DirectoryEntry& entry : entries_) {
        if (!Holdable(entry.name)) names.push_back(entry.name);
    }
    return names;
}

std::vector<std::string> MediumDirectory::HoldableNames() const {
    std::vector<std::string> names;
    for (const DirectoryEntry& entry : entries_) {
        if (Holdable(entry.name)) names.push_back(entry.name);
    }
    return names;
}

}  // namespace zs::zemcmp
