#include "GFont.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <map>
#include <mutex>
#include <tuple>

#include <tessel/platform/text_encoding.h>
#include <tessel/platform/win_rect.h>

namespace {

// Process-wide, never released: the handles stay valid for any DC that still
// holds one, whatever happens to the GFonts that asked for them. Components
// may be made on any thread, so the table is locked.
HFONT sharedFont(const std::wstring& face, double size, int style) {
    static std::mutex lock;
    static std::map<std::tuple<std::wstring, long, int>, HFONT> fonts;
    std::lock_guard<std::mutex> guard(lock);
    const long height = -std::lround(size * 96.0 / 72.0);
    auto key = std::make_tuple(face, height, style);
    if (auto found = fonts.find(key); found != fonts.end()) return found->second;
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = (style & GFont::Bold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & GFont::Italic) ? 1 : 0;
    lf.lfUnderline = (style & GFont::Underline) ? 1 : 0;
    lf.lfStrikeOut = (style & GFont::StrikeOut) ? 1 : 0;
    std::wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    fonts.emplace(std::move(key), font);
    return font;
}

}  // namespace

GFont::GFont() : GFont("Arial", 10.0, 0, RGB(0, 0, 0)) {}

GFont::GFont(const char* face, double size, int style, COLORREF color)
    : m_color(color),
      m_face(face && *face ? tessel::decodeUtf8(face) : std::wstring(L"Arial")),
      m_size(size > 0 && std::isfinite(size) ? std::min(size, 1000.0) : 10.0),
      m_style(style) {}

HFONT GFont::handle() const {
    if (!m_handle) m_handle = sharedFont(m_face, m_size, m_style);
    return m_handle;
}

CFont* GFont::select(CDC* dc) const {
    if (!dc || !dc->m_hDC) return nullptr;
    dc->SetTextColor(m_color);
    return CFont::FromHandle(static_cast<HFONT>(::SelectObject(dc->m_hDC, handle())));
}
