// Appends values to a D-Bus message in the shapes the accessibility protocol
// uses. A writer made over a parent writer opens a container (struct, array,
// variant, dict entry) that its destructor closes, so nesting follows scope:
//
//   YBAccessWriter out(reply);
//   { YBAccessWriter array(out, DBUS_TYPE_ARRAY, "(so)");
//     for (const auto& child : children) array.reference(bus, child); }
#pragma once

#include <dbus/dbus.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <tessel/platform/afx_geometry.h>

class YBAccessNode;

struct YBAccessMessageFree {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using YBAccessMessage = std::unique_ptr<DBusMessage, YBAccessMessageFree>;

class YBAccessWriter {
public:
    explicit YBAccessWriter(DBusMessage* message);
    // `signature`: the element type of an array, the content of a variant;
    // null for a struct or a dict entry.
    YBAccessWriter(YBAccessWriter& parent, int type, const char* signature);
    ~YBAccessWriter();
    YBAccessWriter(const YBAccessWriter&) = delete;
    YBAccessWriter& operator=(const YBAccessWriter&) = delete;

    void string(std::string_view text);
    void string(std::wstring_view text);  // as UTF-8
    void objectPath(const std::string& path);
    void int32(std::int32_t value);
    void uint32(std::uint32_t value);
    void boolean(bool value);
    void number(double value);
    // (so): the bus name that serves the node and its path.
    void reference(const std::string& bus, const YBAccessNode& node);
    // The protocol's null reference: no bus name, the null path.
    void nullReference();
    void rect(int x, int y, int cx, int cy);  // (iiii)
    // A state set: the low and high 32 bits.
    void states(std::uint64_t set);

private:
    DBusMessageIter m_iter{};
    DBusMessageIter* m_parent = nullptr;
};
