// A very long wrapped paragraph is measured from its start and from its
// middle at once. Under the default prefix "&&" shows as the "&" that
// DT_NOPREFIX shows, and only plain text is measured from both ends, so the
// two calls below measure the same shown text both ways.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <tessel/platform/gdi.h>

#include "text_canvas.h"

namespace {

TEST(LongParagraph, MeasuredFromBothEndsAsInOnePass) {
    TextCanvas canvas(300, 200);
    const std::vector<std::wstring> words{L"To",  L"AVATAR",     L"Yes",  L"Wave",
                                          L"fly", L"R&D",        L"ffi",  L"T.",
                                          L"\t",  L"well-known", L"  ",   L"x\u00a0y"};
    std::mt19937 random(2026);
    std::wstring shown;
    while (shown.size() < 100'000) {
        if (!shown.empty()) shown += L' ';
        shown += words[random() % words.size()];
        if (random() % 3 == 0) shown += std::to_wstring(random() % 100'000);
    }
    std::wstring escaped;
    for (const wchar_t c : shown) {
        escaped += c;
        if (c == L'&') escaped += L'&';
    }
    for (const int width : {40, 300, 651}) {
        RECT halves{0, 0, width, 0}, onePass{0, 0, width, 0};
        const int height = DrawTextW(canvas.dc(), shown.c_str(), -1, &halves,
                                     DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
        EXPECT_EQ(height, DrawTextW(canvas.dc(), escaped.c_str(), -1, &onePass,
                                    DT_WORDBREAK | DT_CALCRECT))
            << width;
        EXPECT_EQ(halves.right, onePass.right) << width;
        EXPECT_GT(height, 1000 * canvas.tm().tmHeight) << width;
        if (width == 300) {
            RECT drawn{0, 0, width, 200};
            EXPECT_EQ(DrawTextW(canvas.dc(), shown.c_str(), -1, &drawn,
                                DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX),
                      height);
        }
    }
}

}  // namespace
