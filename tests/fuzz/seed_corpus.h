// What every seed program does: writes named byte strings as files into the
// directory given on the command line (made if missing).
//
//   int main(int argc, char** argv) { return seed_corpus::write(argc, argv, {{"name", bytes}}); }
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace seed_corpus {

using Seeds = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

// 0 when every file was written, 1 when one was not, 2 for a wrong command line.
inline int write(int argc, char** argv, const Seeds& seeds) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    for (const auto& [name, bytes] : seeds) {
        std::ofstream out(dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) return 1;
    }
    return 0;
}

}  // namespace seed_corpus
