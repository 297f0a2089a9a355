#include "KLValue.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <limits>

namespace kelp {

std::int64_t KLValue::toInt() const {
    switch (getType()) {
        case Integer:
            return std::get<std::int64_t>(m_value);
        case Floating: {
            const double d = std::get<double>(m_value);
            if (std::isnan(d)) return 0;
            if (d >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
            if (d <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
            return static_cast<std::int64_t>(d);
        }
        case String:
            return std::wcstoll(std::get<KLString>(m_value).c_str(), nullptr, 10);
        default:
            return 0;
    }
}

double KLValue::toDouble() const {
    switch (getType()) {
        case Integer:
            return static_cast<double>(std::get<std::int64_t>(m_value));
        case Floating:
            return std::get<double>(m_value);
        case String:
            return std::wcstod(std::get<KLString>(m_value).c_str(), nullptr);
        default:
            return 0.0;
    }
}

KLString KLValue::toString() const {
    switch (getType()) {
        case Integer:
            return KLString(std::to_wstring(std::get<std::int64_t>(m_value)));
        case Floating: {
            char text[32];
            std::snprintf(text, sizeof text, "%.17g", std::get<double>(m_value));
            return KLString(text);
        }
        case String:
            return std::get<KLString>(m_value);
        default:
            return KLString();
    }
}

void* KLValue::toPointer() const {
    return getType() == Pointer ? std::get<void*>(m_value) : nullptr;
}

}  // namespace kelp
