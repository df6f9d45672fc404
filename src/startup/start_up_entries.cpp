#include "startup/start_up_entries.h"

#include "startup/list_file.h"

namespace zs::bootstrap {

StartUpEntry ParseStartUpEntry(const std::string& value) {
    StartUpEntry entry;
    size_t comma = value.find(',');
    entry.fileName = value.substr(0, comma);
    entry.skipInWorkstationRun =
        comma != std::string::npos && comma + 1 < value.size() && value[comma + 1] == '1';
    entry.missing = IsMissingEntry(entry.fileName);
    return entry;
}

StartUpEntry ReadStartUpEntry(const ProfileReader& listFile, int keyNumber) {
    return ParseStartUpEntry(listFile.GetString(kStartUpSection, std::to_string(keyNumber).c_str(), kNoEntry,
                                                kStartUpValueBufferSize));
}

StartUpFileList CollectStartUpFiles(const ProfileReader& listFile, bool workstationRun) {
    StartUpFileList list;
    for (int key = 1;; ++key) {
        StartUpEntry entry = ReadStartUpEntry(listFile, key);
        if (workstationRun && entry.skipInWorkstationRun) {
            ++list.skipped;
            continue;
        }
        if (entry.missing) break;
        list.fileNames.push_back(std::move(entry.fileName));
        list.keys.push_back(key);
    }
    list.noFileApplies = list.fileNames.empty();
    return list;
}

}  // namespace zs::bootstrap
