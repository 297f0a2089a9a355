#include "AtspiEventLog.h"

#include <stdexcept>

AtspiEventLog::AtspiEventLog(std::vector<std::string> types) : m_types(std::move(types)) {
    const auto record = [](AtspiEvent* event, void* log) {
        Event entry{event->type ? event->type : "", "", "", event->detail1};
        if (event->source) {
            entry.path = ATSPI_OBJECT(event->source)->path;
            if (ATSPI_OBJECT(event->source)->app)
                entry.busName = ATSPI_OBJECT(event->source)->app->bus_name;
        }
        static_cast<AtspiEventLog*>(log)->m_events.push_back(std::move(entry));
        g_boxed_free(ATSPI_TYPE_EVENT, event);
    };
    m_listener.reset(atspi_event_listener_new(record, this, nullptr));
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

bool AtspiEventLog::waitFor(const std::function<bool()>& condition,
                            std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    // A tick bounds each blocking iteration, so a condition read live is still seen soon.
    const guint tick = g_timeout_add(
        20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool held = condition();
    while (!held && Clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        held = condition();
    }
    g_source_remove(tick);
    return held;
}

void AtspiEventLog::drain(AtspiAccessible* application) {
    atspi_accessible_get_child_count(application, nullptr);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}
