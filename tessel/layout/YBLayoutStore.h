// Where splitters keep their layout between runs: one line per record,
// "key=sizes" (sizes in decimal, joined by ","), in a small settings file
// under the user's configuration directory ($XDG_CONFIG_HOME/tessel/layouts,
// else ~/.config/tessel/layouts). Writing replaces the file atomically (a
// temporary file renamed over it), so a crash never leaves half a file. A
// missing, unreadable or corrupt record reads as none.
//
//   YBLayoutStore::write(L"windows/main", {200, 406});
//   if (auto sizes = YBLayoutStore::read(L"windows/main", 2)) ...
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class YBLayoutStore {
public:
    // Sizes beyond this are taken for corruption.
    static constexpr int kLargestSize = 32767;

    // The record under `key` when it holds exactly `count` sizes, each 0..kLargestSize.
    static std::optional<std::vector<int>> read(const std::wstring& key, std::size_t count);
    // Stores (or replaces) the record; false when the file cannot be written.
    static bool write(const std::wstring& key, const std::vector<int>& sizes);
    // The settings file; empty when there is no home to put it in.
    static std::filesystem::path file();
};
