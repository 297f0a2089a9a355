#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <tessel/platform/gdi.h>

#include "canvas.h"
#include "gdi/state.h"

namespace {

using tessel::gdi::LayoutOptions;
using tessel::gdi::Prefix;

tessel::gdi::TextEngine& engine() {
    return tessel::gdi::state().text;
}

// Labels the direct shaper takes on.
const wchar_t* const kSimpleLabels[] = {
    L"File name.txt",          L"Ünïcödé façade Ørsted", L"0123456789 +-=%",
    L"(a+b)*c; [x]{y} <z> !?", L"WAVE Tyrol AVAToyota",  L"fi fl ff ffi ffl",
    L"Ελληνικά γράμματα",      L"Кириллица, ёжик",       L"\u201Cquoted\u201D \u2014 dash\u2026",
    L"\u00A9 \u00AE \u2122 \u20AC \u00A3", L"   spaced   out  ", L"j,g;y_Q|@#$^~`",
    L"iiiiilllll WWWWW",       L"&&Save as&&",
};

// Text Pango must lay out: other scripts, marks, fallback fonts, emoji,
// tabs, several lines.
const wchar_t* const kComplexLabels[] = {
    L"\u05E9\u05DC\u05D5\u05DD abc", L"abc \u0645\u0631\u062D\u0628\u0627 12", L"e\u0301te\u0308",
    L"\u65E5\u672C", L"smile \U0001F600", L"a\tb", L"Latin and \u0395\u03BB\u03BB\u03B7\u03BD",
    L"soft\u00ADhyphen", L"\u0417\u0434\u0440\u0430\u0432 \u0441\u0443\u0301",
};

LOGFONTW logFont(const wchar_t* face, int pixels, int weight, bool italic, bool underline = false) {
    LOGFONTW lf{};
    lf.lfHeight = -pixels;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

std::vector<std::uint32_t> pixelsOf(const Canvas& canvas) {
    GdiFlush();
    BITMAP bm{};
    GetObject(GetCurrentObject(canvas.dc(), OBJ_BITMAP), sizeof bm, &bm);
    const auto* bits = static_cast<const std::uint8_t*>(bm.bmBits);
    std::vector<std::uint32_t> out(static_cast<std::size_t>(canvas.width()) * canvas.height());
    for (int y = 0; y < canvas.height(); ++y)
        std::memcpy(&out[static_cast<std::size_t>(y) * canvas.width()], bits + y * bm.bmWidthBytes,
                    static_cast<std::size_t>(canvas.width()) * 4);
    return out;
}

struct Drawn {
    std::vector<std::uint32_t> pixels;
    std::vector<long> measures;
};

// Every way a label reaches the screen or a measurement, one label a row:
// TextOut with its alignments and background modes, DrawText aligned in a
// rectangle narrower than some labels, through a clip, and without one.
Drawn drawAll(const LOGFONTW& lf, bool simpleAllowed) {
    engine().allowSimpleShaping(simpleAllowed);
    Canvas canvas(420, 40 * static_cast<int>(std::size(kSimpleLabels) + std::size(kComplexLabels)));
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    Drawn drawn;
    int row = 0;
    auto draw = [&](const wchar_t* text) {
        HDC dc = canvas.dc();
        const int top = 40 * row++;
        const COLORREF colour = RGB(20 * row % 256, 90, 200 - 7 * row % 100);
        SetTextColor(dc, colour);
        SetBkColor(dc, RGB(250, 240, 100));
        SetBkMode(dc, row % 2 ? TRANSPARENT : OPAQUE);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        TextOutW(dc, 1, top, text, -1);
        SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
        TextOutW(dc, 419, top + 30, text, -1);

        SetBkMode(dc, row % 2 ? OPAQUE : TRANSPARENT);
        const UINT aligns[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
        for (int i = 0; i < 3; ++i) {
            RECT r{140 + 50 * i, top + 2, 230 + 50 * i, top + 38};
            DrawTextW(dc, text, -1, &r, aligns[i] | DT_VCENTER | DT_SINGLELINE);
        }
        SaveDC(dc);
        IntersectClipRect(dc, 60, top + 20, 110, top + 31);
        RECT r{40, top + 14, 200, top + 40};
        DrawTextW(dc, text, -1, &r, DT_CENTER | DT_NOPREFIX);
        RestoreDC(dc, -1);
        RECT narrow{100, top + 25, 120, top + 40};
        DrawTextW(dc, text, -1, &narrow, DT_LEFT | DT_SINGLELINE | DT_NOCLIP | DT_HIDEPREFIX);

        SIZE size{};
        GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &size);
        RECT calc{0, 0, 1000, 0};
        const int height = DrawTextW(dc, text, -1, &calc, DT_CALCRECT | DT_SINGLELINE);
        drawn.measures.insert(drawn.measures.end(), {size.cx, size.cy, calc.right, calc.bottom, height});
    };
    for (const wchar_t* text : kSimpleLabels) draw(text);
    for (const wchar_t* text : kComplexLabels) draw(text);
    drawn.pixels = pixelsOf(canvas);
    SelectObject(canvas.dc(), old);
    DeleteObject(font);
    engine().allowSimpleShaping(true);
    return drawn;
}

bool laidOutSimply(const LOGFONTW& lf, const wchar_t* text, const LayoutOptions& options) {
    const tessel::gdi::GdiLock lock;
    const auto face = engine().face(lf);
    return engine().layout(*face, text, options)->simple();
}

constexpr LayoutOptions kOneLine{-1, true, false, Prefix::None};

// Labels shaped directly paint, measure and align exactly as Pango lays them
// out, across faces, sizes from 8 to 24 pixels and styles.
TEST(SimpleText, PaintsAndMeasuresAsPango) {
    const wchar_t* const faces[] = {L"Liberation Sans", L"Liberation Serif", L"Liberation Mono",
                                    L"DejaVu Sans"};
    const int sizes[] = {8, 9, 11, 13, 16, 20, 24};
    for (const wchar_t* face : faces) {
        for (int pixels : sizes) {
            for (int style = 0; style < 4; ++style) {
                const LOGFONTW lf =
                    logFont(face, pixels, style & 1 ? FW_BOLD : FW_NORMAL, style & 2);
                for (const wchar_t* text : kSimpleLabels)
                    ASSERT_TRUE(laidOutSimply(lf, text, kOneLine)) << static_cast<const void*>(text);
                const Drawn direct = drawAll(lf, true);
                const Drawn pango = drawAll(lf, false);
                EXPECT_EQ(direct.measures, pango.measures);
                std::size_t differing = 0, first = direct.pixels.size();
                for (std::size_t i = 0; i < direct.pixels.size(); ++i) {
                    if (direct.pixels[i] == pango.pixels[i]) continue;
                    ++differing;
                    first = std::min(first, i);
                }
                EXPECT_EQ(differing, 0u) << "face " << static_cast<const void*>(face) << " size "
                                         << pixels << " style " << style << " first at pixel "
                                         << first % 420 << "," << first / 420;
            }
        }
    }
}

// What needs bidi, marks, other fonts, wrapping, ellipses, underlines or
// tabs still goes through Pango.
TEST(SimpleText, LeavesTheRestToPango) {
    const LOGFONTW lf = logFont(L"Liberation Sans", 13, FW_NORMAL, false);
    for (const wchar_t* text : kComplexLabels)
        EXPECT_FALSE(laidOutSimply(lf, text, kOneLine)) << static_cast<const void*>(text);
    EXPECT_FALSE(laidOutSimply(lf, L"Wrapped words", {40, false, false, Prefix::None}));
    EXPECT_FALSE(laidOutSimply(lf, L"Cut short words", {40, true, true, Prefix::None}));
    EXPECT_FALSE(laidOutSimply(lf, L"&Open", {-1, true, false, Prefix::Underline}));
    EXPECT_TRUE(laidOutSimply(lf, L"&Open", {-1, true, false, Prefix::Hide}));
    EXPECT_TRUE(laidOutSimply(lf, L"&&Open", {-1, true, false, Prefix::Underline}));
    EXPECT_FALSE(laidOutSimply(lf, L"two\nlines", {-1, false, false, Prefix::None}));
    EXPECT_FALSE(laidOutSimply(logFont(L"Liberation Sans", 13, FW_NORMAL, false, true), L"Under",
                               kOneLine));
    EXPECT_FALSE(laidOutSimply(logFont(L"Liberation Sans", 300, FW_NORMAL, false), L"Huge", kOneLine));
    EXPECT_FALSE(laidOutSimply(lf, std::wstring(2000, L'x').c_str(), kOneLine));
}

// Directly shaped labels are small cache entries, counted with their text and
// glyphs: the 8 MiB cache keeps tens of thousands of distinct labels.
TEST(SimpleText, CacheKeepsManySmallEntries) {
    const LOGFONTW lf = logFont(L"Liberation Sans", 13, FW_NORMAL, false);
    engine().allowSimpleShaping(true);
    const tessel::gdi::GdiLock lock;
    const auto face = engine().face(lf);
    const auto bytesFor = [&](const std::wstring& text) {
        const std::size_t before = engine().cache().bytes();
        engine().layout(*face, text, kOneLine);
        return engine().cache().bytes() - before;
    };
    const std::size_t shortBytes = bytesFor(L"Label 0123");
    const std::size_t longBytes = bytesFor(L"Label 0123" + std::wstring(100, L'a'));
    EXPECT_GE(longBytes - shortBytes, 100 * (sizeof(wchar_t) + sizeof(tessel::gdi::PlacedGlyph)));
    EXPECT_LT(shortBytes, 640u);

    const int labels = 12000;
    for (int i = 0; i < labels; ++i)
        engine().layout(*face, L"Document " + std::to_wstring(i) + L".txt", kOneLine);
    EXPECT_GE(engine().cache().size(), static_cast<std::size_t>(labels));
    EXPECT_LE(engine().cache().bytes(), engine().cache().budget());
}

}  // namespace
