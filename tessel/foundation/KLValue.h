#pragma once

#include <cstdint>
#include <variant>

#include <tessel/foundation/KLString.h>

namespace kelp {

// One value an application attaches to something: nothing, an integer, a
// floating-point number, a string or an untyped pointer (never owned).
//
//   component.data() = KLValue(42);
//   if (component.getData().getType() == KLValue::Integer) use(component.getData().toInt());
class KLValue {
public:
    enum Type { Empty, Integer, Floating, String, Pointer };

    KLValue() = default;
    KLValue(int value) : m_value(std::int64_t{value}) {}    // NOLINT: values read naturally
    KLValue(std::int64_t value) : m_value(value) {}         // NOLINT
    KLValue(double value) : m_value(value) {}               // NOLINT
    KLValue(const KLString& value) : m_value(value) {}      // NOLINT
    KLValue(const char* utf8) : m_value(KLString(utf8)) {}  // NOLINT
    KLValue(void* pointer) : m_value(pointer) {}            // NOLINT

    Type getType() const { return static_cast<Type>(m_value.index()); }
    bool isEmpty() const { return getType() == Empty; }
    void clear() { m_value = std::monostate{}; }

    // Conversions are lenient: numbers convert into each other (floating
    // values truncate toward zero, saturating), strings parse their leading
    // number, anything else gives 0, an empty string or null.
    std::int64_t toInt() const;
    double toDouble() const;
    KLString toString() const;
    void* toPointer() const;

    friend bool operator==(const KLValue& a, const KLValue& b) { return a.m_value == b.m_value; }

private:
    std::variant<std::monostate, std::int64_t, double, KLString, void*> m_value;
};

}  // namespace kelp
