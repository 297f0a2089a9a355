// The a11y_gallery program started on the private bus and talked to a line
// at a time, the way the tests operate the gallery while they read it as an
// assistive technology. Each instance has a layout store of its own, so a
// run starts from the gallery's built-in layout and leaves nothing behind.
//
//   GalleryDriver gallery(bus);
//   for (const GalleryDriver::Place& place : gallery.rects()) ...
//   gallery.ask("key tab");
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PrivateAccessBus.h"

class GalleryDriver {
public:
    // One line of `rects`: a window or a component and its screen rectangle.
    struct Place {
        char kind = 'w';         // 'w' window, 'c' component
        std::uint64_t id = 0;    // the window's handle or the component's accessible id
        std::uint64_t host = 0;  // a component's window
        int x = 0, y = 0, cx = 0, cy = 0;

        std::string path() const;
    };

    static constexpr auto kAnswerLimit = std::chrono::seconds(60);

    explicit GalleryDriver(const PrivateAccessBus& bus);
    // Ends it by id, asking it to quit first unless finish() did.
    ~GalleryDriver();
    GalleryDriver(const GalleryDriver&) = delete;
    GalleryDriver& operator=(const GalleryDriver&) = delete;

    pid_t pid() const { return m_process->pid(); }
    // The lines before "ok". Throws std::runtime_error with the driver's
    // "error" line, or when no answer comes within the limit.
    std::vector<std::string> ask(const std::string& command);
    std::vector<Place> rects();
    std::vector<int> commands();
    // Asks it to quit and waits; its wait status (SIGKILL's when it would not go).
    int finish();

private:
    std::optional<std::string> readLine(std::chrono::steady_clock::time_point deadline);

    std::filesystem::path m_configHome;
    int m_toDriver = -1;
    int m_fromDriver = -1;
    std::string m_received;  // read but not yet taken as lines
    std::optional<ChildProcess> m_process;
};
