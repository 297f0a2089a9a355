// Internal: a Pango font map and context with the platform's fixed text
// settings. Pango objects must not be used by two threads at once, so a
// thread that lays out text beside the user-interface thread has its own.
#pragma once

#include <pango/pango.h>

namespace tessel::gdi {

class PangoTextContext {
public:
    PangoTextContext();
    ~PangoTextContext();
    PangoTextContext(const PangoTextContext&) = delete;
    PangoTextContext& operator=(const PangoTextContext&) = delete;

    PangoContext* get() const { return m_context; }

private:
    PangoFontMap* m_fontMap;
    PangoContext* m_context;
};

}  // namespace tessel::gdi
