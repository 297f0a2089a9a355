#include "AtspiEventLog.h"

#include <algorithm>
#include <stdexcept>

#include "AccessibleTree.h"

namespace {

// The longest the main context blocks, so a condition that turns true
// without an event (a live read) is still seen soon.
constexpr guint kTickMilliseconds = 20;

}  // namespace

AtspiEventLog::AtspiEventLog(std::vector<std::string> types)
    : m_types(std::move(types)),
      m_listener(atspi_event_listener_new(&AtspiEventLog::record, this, nullptr)) {
    for (const std::string& type : m_types) {
        GError* error = nullptr;
        if (!atspi_event_listener_register(m_listener.get(), type.c_str(), &error)) {
            const std::string why = error ? error->message : "refused";
            g_clear_error(&error);
            throw std::runtime_error("cannot listen to " + type + ": " + why);
        }
    }
}

AtspiEventLog::~AtspiEventLog() {
    for (const std::string& type : m_types)
        atspi_event_listener_deregister(m_listener.get(), type.c_str(), nullptr);
}

void AtspiEventLog::record(AtspiEvent* event, void* log) {
    Event entry;
    entry.type = event->type ? event->type : "";
    entry.path = AccessibleTree::pathOf(event->source);
    if (event->source && ATSPI_OBJECT(event->source)->app)
        entry.busName = ATSPI_OBJECT(event->source)->app->bus_name;
    entry.detail1 = event->detail1;
    entry.detail2 = event->detail2;
    static_cast<AtspiEventLog*>(log)->m_events.push_back(std::move(entry));
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}

bool AtspiEventLog::waitFor(const std::function<bool()>& condition,
                            std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    const guint tick = g_timeout_add(
        kTickMilliseconds, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool held = condition();
    while (!held && Clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        held = condition();
    }
    g_source_remove(tick);
    return held;
}

void AtspiEventLog::drain(AtspiAccessible* application) {
    GError* error = nullptr;
    atspi_accessible_get_child_count(application, &error);
    g_clear_error(&error);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}
