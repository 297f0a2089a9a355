#include "YBAccessWriter.h"

#include <tessel/platform/text_encoding.h>

#include "YBAccessNode.h"

YBAccessWriter::YBAccessWriter(DBusMessage* message) {
    dbus_message_iter_init_append(message, &m_iter);
}

YBAccessWriter::YBAccessWriter(YBAccessWriter& parent, int type, const char* signature)
    : m_parent(&parent.m_iter) {
    dbus_message_iter_open_container(m_parent, type, signature, &m_iter);
}

YBAccessWriter::~YBAccessWriter() {
    if (m_parent) dbus_message_iter_close_container(m_parent, &m_iter);
}

void YBAccessWriter::string(std::string_view text) {
    // libdbus refuses what is not valid UTF-8 and embedded nuls.
    const std::string checked = tessel::encodeUtf8(tessel::decodeUtf8(text));
    std::string clean;
    clean.reserve(checked.size());
    for (const char c : checked)
        if (c != '\0') clean += c;
    const char* value = clean.c_str();
    dbus_message_iter_append_basic(&m_iter, DBUS_TYPE_STRING, &value);
}

void YBAccessWriter::string(std::wstring_view text) {
    string(std::string_view(tessel::encodeUtf8(text)));
}

void YBAccessWriter::objectPath(const std::string& path) {
    const char* value = path.c_str();
    dbus_message_iter_append_basic(&m_iter, DBUS_TYPE_OBJECT_PATH, &value);
}

void YBAccessWriter::int32(std::int32_t value) {
    const dbus_int32_t v = value;
    dbus_message_iter_append_basic(&m_iter, DBUS_TYPE_INT32, &v);
}

void YBAccessWriter::uint32(std::uint32_t value) {
    const dbus_uint32_t v = value;
    dbus_message_iter_append_basic(&m_iter, DBUS_TYPE_UINT32, &v);
}

void YBAccessWriter::boolean(bool value) {
    const dbus_bool_t v = value ? TRUE : FALSE;
    dbus_message_iter_append_basic(&m_iter, DBUS_TYPE_BOOLEAN, &v);
}

void YBAccessWriter::number(double value) {
    dbus_message_iter_append_basic(&m_iter, DBUS_TYPE_DOUBLE, &value);
}

void YBAccessWriter::reference(const std::string& bus, const YBAccessNode& node) {
    YBAccessWriter pair(*this, DBUS_TYPE_STRUCT, nullptr);
    pair.string(std::string_view(bus));
    pair.objectPath(node.path());
}

void YBAccessWriter::nullReference() {
    YBAccessWriter pair(*this, DBUS_TYPE_STRUCT, nullptr);
    pair.string(std::string_view());
    pair.objectPath("/org/a11y/atspi/null");
}

void YBAccessWriter::rect(int x, int y, int cx, int cy) {
    YBAccessWriter box(*this, DBUS_TYPE_STRUCT, nullptr);
    box.int32(x);
    box.int32(y);
    box.int32(cx);
    box.int32(cy);
}

void YBAccessWriter::states(std::uint64_t set) {
    YBAccessWriter words(*this, DBUS_TYPE_ARRAY, DBUS_TYPE_UINT32_AS_STRING);
    words.uint32(static_cast<std::uint32_t>(set));
    words.uint32(static_cast<std::uint32_t>(set >> 32));
}
