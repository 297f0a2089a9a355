// The toolkit's bridge to the Linux accessibility bus (AT-SPI2): it serves
// the application's windows and components to screen readers and other
// assistive technology, tells them what changes, and lets them see keys
// first. It speaks D-Bus with libdbus on the user-interface thread's own
// message loop; nothing of it exists while it is off.
//
// It is on when AT_SPI_BUS_ADDRESS is set, when TESSEL_A11Y=1, or when the
// desktop's accessibility setting says so (the session bus's org.a11y.Bus,
// org.a11y.Status IsEnabled or ScreenReaderEnabled); TESSEL_A11Y=0 keeps it
// off whatever the desktop says. It never starts a bus of its own.
//
// Invariant: at most one bridge exists at a time.
//
//   std::unique_ptr<YBAccessBridge> bridge = YBAccessBridge::startIfWanted();
//   ...                                   // served while it lives
//   bridge.reset();                       // unhooked, disconnected
#pragma once

#include <memory>
#include <string>

class YBAccessBus;
class YBAccessEvents;
class YBAccessKeys;
class YBAccessServer;

class YBAccessBridge {
public:
    // The bridge when the environment or the desktop asks for one and the
    // accessibility bus answers; null otherwise.
    static std::unique_ptr<YBAccessBridge> startIfWanted();
    // The accessibility bus's address when the bridge is wanted; empty otherwise.
    static std::string wantedAddress();
    // On the bus at `address`; null when it cannot be reached or a bridge runs already.
    static std::unique_ptr<YBAccessBridge> start(const std::string& address);
    ~YBAccessBridge();
    YBAccessBridge(const YBAccessBridge&) = delete;
    YBAccessBridge& operator=(const YBAccessBridge&) = delete;

    // The name the application has on the bus.
    const std::string& busName() const;
    // Whether the registry has taken the application in.
    bool embedded() const { return m_embedded; }

private:
    YBAccessBridge();
    bool connect(const std::string& address);
    void embed();

    std::unique_ptr<YBAccessServer> m_server;
    struct Handler;
    std::unique_ptr<Handler> m_handler;
    std::unique_ptr<YBAccessBus> m_bus;  // after what it calls back: goes first
    std::unique_ptr<YBAccessEvents> m_events;
    std::unique_ptr<YBAccessKeys> m_keys;
    bool m_embedded = false;
};
