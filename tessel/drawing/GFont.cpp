#include "GFont.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <map>
#include <mutex>
#include <new>
#include <tuple>

#include <tessel/platform/text_encoding.h>
#include <tessel/platform/win_rect.h>

struct GFont::Description {
    std::wstring face;
    double size;
    int style;
    HFONT handle;
};

namespace {

// Process-wide and never released: the fonts stay valid for any DC that still
// holds one, whatever happens to the GFonts that named them. Components may
// be made on any thread, so the table is locked.
template <class Description>
const Description* sharedDescription(std::wstring face, double size, int style) {
    using Table = std::map<std::tuple<std::wstring, double, int>, Description>;
    static std::mutex lock;
    alignas(Table) static unsigned char storage[sizeof(Table)];
    static Table* const descriptions = new (storage) Table;  // never destroyed
    std::lock_guard<std::mutex> guard(lock);
    auto key = std::make_tuple(face, size, style);
    if (auto found = descriptions->find(key); found != descriptions->end()) return &found->second;
    LOGFONTW lf{};
    lf.lfHeight = -std::lround(size * 96.0 / 72.0);
    lf.lfWeight = (style & GFont::Bold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & GFont::Italic) ? 1 : 0;
    lf.lfUnderline = (style & GFont::Underline) ? 1 : 0;
    lf.lfStrikeOut = (style & GFont::StrikeOut) ? 1 : 0;
    std::wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    const HFONT handle = CreateFontIndirectW(&lf);
    return &descriptions->emplace(std::move(key), Description{std::move(face), size, style, handle})
                .first->second;
}

}  // namespace

GFont::GFont() : GFont("Arial", 10.0, 0, RGB(0, 0, 0)) {}

GFont::GFont(const char* face, double size, int style, COLORREF color)
    : m_description(sharedDescription<Description>(
          face && *face ? tessel::decodeUtf8(face) : std::wstring(L"Arial"),
          size > 0 && std::isfinite(size) ? std::min(size, 1000.0) : 10.0, style)),
      m_color(color) {}

HFONT GFont::handle() const {
    return m_description->handle;
}

const std::wstring& GFont::face() const {
    return m_description->face;
}

double GFont::size() const {
    return m_description->size;
}

int GFont::style() const {
    return m_description->style;
}

CFont* GFont::select(CDC* dc) const {
    if (!dc || !dc->m_hDC) return nullptr;
    dc->SetTextColor(m_color);
    return CFont::FromHandle(static_cast<HFONT>(::SelectObject(dc->m_hDC, handle())));
}
