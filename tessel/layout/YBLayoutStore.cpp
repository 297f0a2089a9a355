#include "YBLayoutStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <tessel/platform/text_encoding.h>

namespace {

// Keys are stored UTF-8 with the characters that delimit records escaped.
std::string encodeKey(const std::wstring& key) {
    std::string out;
    for (const char c : tessel::encodeUtf8(key)) {
        if (c == '%' || c == '=' || c == '\n' || c == '\r') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::optional<std::vector<int>> parseSizes(const std::string& text, std::size_t count) {
    std::vector<int> sizes;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, end - start);
        if (item.empty() || item.size() > 5 ||
            item.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        const int size = std::stoi(item);
        if (size > YBLayoutStore::kLargestSize) return std::nullopt;
        sizes.push_back(size);
        start = end + 1;
    }
    if (sizes.size() != count) return std::nullopt;
    return sizes;
}

}  // namespace

std::filesystem::path YBLayoutStore::file() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return std::filesystem::path(config) / "tessel" / "layouts";
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::filesystem::path(home) / ".config" / "tessel" / "layouts";
    return {};
}

std::optional<std::vector<int>> YBLayoutStore::read(const std::wstring& key, std::size_t count) {
    const std::filesystem::path path = file();
    if (path.empty() || count == 0) return std::nullopt;
    const std::string prefix = encodeKey(key) + "=";
    for (const std::string& line : readLines(path))
        if (line.starts_with(prefix)) return parseSizes(line.substr(prefix.size()), count);
    return std::nullopt;
}

bool YBLayoutStore::write(const std::wstring& key, const std::vector<int>& sizes) {
    const std::filesystem::path path = file();
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return false;

    const std::string prefix = encodeKey(key) + "=";
    std::ostringstream text;
    for (const std::string& line : readLines(path))
        if (!line.starts_with(prefix) && !line.empty()) text << line << '\n';
    text << prefix;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        text << (i ? "," : "") << sizes[i];
    text << '\n';

    std::string temporary = (path.parent_path() / ".layouts-XXXXXX").string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    const std::string bytes = text.str();
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
