// The events an assistive technology hears, recorded as libatspi delivers
// them from the GLib main context, which waiting runs.
//
//   AtspiEventLog log({"object:state-changed:focused", "focus:"});
//   ask("key tab");
//   ASSERT_TRUE(AtspiEventLog::waitFor([&] { return !log.events().empty(); }, 500ms));
#pragma once

#include <atspi/atspi.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "GObjectPtr.h"

class AtspiEventLog {
public:
    struct Event {
        std::string type;  // as libatspi names it: "object:state-changed:focused"
        std::string path;  // the source object's
        std::string busName;
        int detail1 = 0;
    };

    // Throws std::runtime_error when a type cannot be listened to.
    explicit AtspiEventLog(std::vector<std::string> types);
    ~AtspiEventLog();
    AtspiEventLog(const AtspiEventLog&) = delete;
    AtspiEventLog& operator=(const AtspiEventLog&) = delete;

    const std::vector<Event>& events() const { return m_events; }
    void clear() { m_events.clear(); }

    // Runs the main context until the condition holds (true) or the limit passes.
    static bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);
    // Delivers every event `application` sent before it answers one call:
    // the bus keeps one sender's messages in order.
    static void drain(AtspiAccessible* application);

private:
    std::vector<std::string> m_types;
    GObjectPtr<AtspiEventListener> m_listener;
    std::vector<Event> m_events;
};
