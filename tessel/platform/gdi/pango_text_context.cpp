#include "gdi/pango_text_context.h"

#include <pango/pangocairo.h>

namespace tessel::gdi {

PangoTextContext::PangoTextContext()
    : m_fontMap(pango_cairo_font_map_new()) {
    pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(m_fontMap), 96.0);
    m_context = pango_font_map_create_context(m_fontMap);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(m_context, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(m_context, 96.0);
    pango_context_set_language(m_context, pango_language_from_string("en"));
}

PangoTextContext::~PangoTextContext() {
    g_object_unref(m_context);
    g_object_unref(m_fontMap);
}

}  // namespace tessel::gdi
