#include "check_medium_directory.h"

#include <algorithm>

#include "output_names.h"

namespace zs::zemcmp {
namespace {

char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool SameFileName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

bool MediumDirectory::Open(const std::string& directory, std::string* error) {
    path_ = directory;
    if (!ListDirectory(directory, &entries_, error)) return false;
    std::sort(entries_.begin(), entries_.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return true;
}

MediumFile MediumDirectory::Find(const std::string& name) const {
    MediumFile file;
    file.name = name;
    const DirectoryEntry* chosen = nullptr;
    for (const DirectoryEntry& entry : entries_) {
        if (entry.name == name) chosen = &entry;
    }
    for (const DirectoryEntry& entry : entries_) {
        if (&entry == chosen || !SameFileName(entry.name, name)) continue;
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
    file.caseDiffers = chosen->name != name;
    return file;
}

}  // namespace zs::zemcmp
