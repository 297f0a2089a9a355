#include "GalleryOnBus.h"

#include <sys/wait.h>

#include <algorithm>
#include <map>

#include "AccessBusEnvironment.h"
#include "AtspiEventLog.h"

namespace {

GObjectPtr<AtspiAccessible> applicationOf(pid_t pid) {
    GObjectPtr<AtspiAccessible> desktop(atspi_get_desktop(0));
    GError* error = nullptr;
    const gint count = atspi_accessible_get_child_count(desktop.get(), &error);
    g_clear_error(&error);
    for (gint i = 0; i < count; ++i) {
        GObjectPtr<AtspiAccessible> child(
            atspi_accessible_get_child_at_index(desktop.get(), i, &error));
        g_clear_error(&error);
        if (child &&
            atspi_accessible_get_process_id(child.get(), &error) == static_cast<guint>(pid))
            return child;
        g_clear_error(&error);
    }
    return nullptr;
}

}  // namespace

void GalleryOnBus::SetUp() {
    m_driver = std::make_unique<GalleryDriver>(AccessBusEnvironment::bus());
    // The first answer comes once the gallery is built and its loop runs.
    m_places = m_driver->rects();
    ASSERT_FALSE(m_places.empty());
    const bool appeared = AtspiEventLog::waitFor(
        [&] {
            m_application = applicationOf(m_driver->pid());
            return m_application != nullptr;
        },
        kAppearLimit * kSlowdown);
    ASSERT_TRUE(appeared) << "the gallery is not among the desktop's children";
    m_busName = ATSPI_OBJECT(m_application.get())->app->bus_name;
}

void GalleryOnBus::TearDown() {
    m_application.reset();
    if (!m_driver) return;
    // A crash, or a leak a sanitizer found, shows only in how the gallery ends.
    const int status = m_driver->finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the gallery ended with wait status " << status;
    m_driver.reset();
}

const GalleryDriver::Place& GalleryOnBus::mainHost(
    const std::vector<GalleryDriver::Place>& places) {
    std::map<std::uint64_t, int> counts;
    for (const GalleryDriver::Place& place : places)
        if (place.kind == 'c') ++counts[place.host];
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    const std::uint64_t host = most == counts.end() ? 0 : most->first;
    const auto found = std::find_if(places.begin(), places.end(), [&](const auto& place) {
        return place.kind == 'w' && place.id == host;
    });
    if (found == places.end()) throw std::runtime_error("the gallery lists no component host");
    return *found;
}

std::vector<GalleryDriver::Place> GalleryOnBus::componentsOf(
    const std::vector<GalleryDriver::Place>& places, std::uint64_t host) {
    std::vector<GalleryDriver::Place> out;
    std::copy_if(places.begin(), places.end(), std::back_inserter(out),
                 [&](const auto& place) { return place.kind == 'c' && place.host == host; });
    return out;
}
