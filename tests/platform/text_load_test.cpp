// Text under load: huge lines, huge paragraphs and invalid input are drawn
// into a 300x200 clip without a crash, and the memory the text engine keeps
// stays bounded (its cache's byte budget: text_clip_test).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/text_encoding.h>

#include "gdi/state.h"
#include "text_canvas.h"

namespace {

using namespace std::string_literals;

long long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

constexpr long long kGrowthLimit = 256LL << 20;

// AddressSanitizer keeps freed memory in quarantine, so resident size says
// nothing about what the text engine holds there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentSizeMeans = false;
#else
constexpr bool kResidentSizeMeans = true;
#endif

class TextUnderLoad : public ::testing::Test {
public:
    // The widest line and the line count of `text` wrapped at `width` by one
    // layout of all of it.
    SIZE wholeLayout(const std::wstring& text, int width) const {
        const tessel::gdi::GdiLock lock;
        const tessel::gdi::LayoutOptions options{width, false, false,
                                                 tessel::gdi::Prefix::Underline};
        const auto* font =
            static_cast<tessel::gdi::Font*>(tessel::gdi::findDC(canvas.dc())->state().font.get());
        const auto laid = tessel::gdi::state().text.layout(*font->face, text, options);
        return {laid->width(), laid->lineCount()};
    }

protected:
    TextCanvas canvas{300, 200};
    RECT clip{0, 0, 300, 200};
    long long before = residentBytes();

    void expectBoundedGrowth() const {
        if (kResidentSizeMeans) {
            EXPECT_LT(residentBytes() - before, kGrowthLimit);
        }
    }

    void draw(const std::wstring& text, UINT format) {
        RECT r = clip;
        DrawTextW(canvas.dc(), text.c_str(), static_cast<int>(text.size()), &r, format);
    }
};

TEST_F(TextUnderLoad, AMillionCharacterLineAndAHundredThousandWrappedLines) {
    std::wstring line(1'000'000, L'x');
    for (std::size_t i = 7; i < line.size(); i += 8)
        line[i] = L' ';
    draw(line, DT_SINGLELINE | DT_VCENTER);
    EXPECT_GT(canvas.inkIn(0, 0, 300, 200), 100);
    RECT measured = clip;
    DrawTextW(canvas.dc(), line.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(measured.right, 1'000'000);  // about seven pixels a character
    TextOutW(canvas.dc(), -5'000'000, 100, line.c_str(), static_cast<int>(line.size()));

    // Two words a line at this width: 100,000 lines, the clip showing a dozen.
    std::wstring paragraph;
    for (int i = 0; i < 100'000; ++i)
        paragraph += L"wrapped line" + std::to_wstring(i) + L" ";
    draw(paragraph, DT_WORDBREAK);
    EXPECT_GT(canvas.inkIn(0, 0, 300, 200), 100);
    expectBoundedGrowth();
}

// Long wrapped text is laid out a piece at a time: lines far into it stand
// where laying out its start whole puts them, a clipped call stops at the
// line that reaches the bottom as Windows does, and measuring counts them all.
TEST_F(TextUnderLoad, WrappedTextFarDownShowsWhatTheWholeLayoutShows) {
    const int lineHeight = canvas.tm().tmHeight;
    // Paragraphs of about 4,500 characters, an empty one now and then, and
    // mnemonics: '&' takes a character of the text and underlines the next.
    std::wstring text;
    for (int i = 1; text.size() < 200'000; ++i)
        text += (i % 37  ? L""
                 : i % 2 ? L"&"
                         : L"&&") +
                L"word"s + std::to_wstring(i * 7919 % 100'000) +
                (i % 500    ? L" "
                 : i % 1500 ? L"\n"
                            : L"\r\n\n");
    const std::wstring start = text.substr(0, text.rfind(L' ', 14'000) + 1);

    // Lines 150 to 163 show, in the second paragraph, past its first piece.
    TextCanvas reference{300, 200};
    RECT far{0, -150 * lineHeight, 300, 200};
    RECT farInReference = far;
    const int drawnHeight = DrawTextW(canvas.dc(), text.c_str(), -1, &far, DT_WORDBREAK);
    EXPECT_EQ(drawnHeight, (150 + 200 / lineHeight + 1) * lineHeight);
    EXPECT_EQ(DrawTextW(reference.dc(), start.c_str(), -1, &farInReference, DT_WORDBREAK),
              drawnHeight);
    EXPECT_GT(canvas.inkIn(0, 0, 300, 200), 500);
    EXPECT_TRUE(canvas.samePixels(reference));

    RECT measured{0, 0, 300, 0};
    const int height =
        DrawTextW(canvas.dc(), text.c_str(), -1, &measured, DT_WORDBREAK | DT_CALCRECT);
    const SIZE whole = wholeLayout(text, 300);
    EXPECT_EQ(height, whole.cy * lineHeight);
    EXPECT_EQ(measured.right, whole.cx);
    RECT unclipped{0, 0, 300, 200};
    EXPECT_EQ(DrawTextW(canvas.dc(), text.c_str(), -1, &unclipped, DT_WORDBREAK | DT_NOCLIP),
              height);
}

// A very long line is shaped in pieces cut after spaces; pairs that kern
// across a space ("To AVA", "Yes") stand as in one short run, far along the
// line as near its start, and the line measures as its periods add up.
TEST_F(TextUnderLoad, AVeryLongLineKernsAcrossItsPiecesAsOneRunDoes) {
    const std::wstring period = L"To AVATAR, Yes. Wave ";
    std::wstring line;
    while (line.size() < 300'000)
        line += period;
    const int periods = static_cast<int>(line.size() / period.size());
    const int periodWidth =
        canvas.extent((period + period).c_str()).cx - canvas.extent(period.c_str()).cx;
    const std::wstring shortRun = line.substr(0, 40 * period.size());

    TextCanvas reference{300, 200};
    TextOutW(reference.dc(), -7, 20, shortRun.c_str(), static_cast<int>(shortRun.size()));
    EXPECT_GT(reference.inkIn(0, 0, 300, 200), 200);
    for (const int skipped : {0, 77, periods - 40}) {
        canvas.clear(kWhite);
        TextOutW(canvas.dc(), -7 - skipped * periodWidth, 20, line.c_str(),
                 static_cast<int>(line.size()));
        EXPECT_TRUE(canvas.samePixels(reference)) << skipped;
    }
    RECT measured{0, 0, 300, 0};
    DrawTextW(canvas.dc(), line.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(measured.right, canvas.extent(period.c_str()).cx + (periods - 1) * periodWidth);
}

// Measuring long wrapped text a paragraph at a time, a short paragraph that
// fits without a layout: the lines and widest line are those one layout of
// each paragraph gives, at widths that cut near kerned pairs ("To", "AV",
// "Ye"), through words longer than the width, at tabs, runs of spaces,
// no-break spaces, hyphens and mnemonics, and with white space at a
// paragraph's end; an unclipped call draws as many lines, and a repeated call
// (its paragraphs' measures kept) measures the same.
TEST_F(TextUnderLoad, MeasuringLongWrappedTextGivesWhatEachParagraphsLayoutGives) {
    const int lineHeight = canvas.tm().tmHeight;
    const std::vector<std::wstring> vocabularies[] = {
        {L"To", L"AVATAR", L"Yes", L"Wave", L"fly", L"T", L"Av", L"ffi", L"r", L"LTYy",
         L"\u00e9t\u00e9", L"x", L"mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm"},
        {L"a\tb", L"\t", L"  ", L"x\u00a0y", L"well-known", L"-", L"\u00a0", L"Wave  ", L"ffl",
         std::wstring(90, L'w'), L"T.", L"(7)", L"\u00e9t\u00e9\u00a0", L"R&D", L"&&", L"Yo,"},
    };
    for (const std::vector<std::wstring>& words : vocabularies) {
        std::mt19937 random(2026);
        std::vector<std::wstring> paragraphs;
        std::wstring text;
        while (text.size() < 24'000) {
            std::wstring paragraph;
            const int count = static_cast<int>(random() % 60);
            for (int i = 0; i < count; ++i) {
                if (i) paragraph += L' ';
                paragraph += words[random() % words.size()];
                if (random() % 3 == 0) paragraph += std::to_wstring(random() % 100'000);
            }
            if (random() % 4 == 0) paragraph += L' ';
            text += (paragraphs.empty() ? L"" : L"\n") + paragraph;
            paragraphs.push_back(std::move(paragraph));
        }
        // One paragraph over and over, long enough to be measured a
        // paragraph at a time: its own widest line is the text's.
        std::vector<std::pair<std::size_t, std::wstring>> repeated;
        for (std::size_t i = 0; i < paragraphs.size() && repeated.size() < 40; ++i) {
            if (paragraphs[i].empty()) continue;
            std::wstring copies = paragraphs[i];
            while (copies.size() < 20'000)
                copies += L"\n" + paragraphs[i];
            repeated.emplace_back(i, std::move(copies));
        }
        for (int width = 1; width < 700; width += 13) {
            long long lines = 0;
            int widest = 0;
            std::vector<SIZE> wholes;
            for (const std::wstring& paragraph : paragraphs) {
                const SIZE whole = paragraph.empty() ? SIZE{0, 1} : wholeLayout(paragraph, width);
                lines += whole.cy;
                widest = std::max<int>(widest, whole.cx);
                wholes.push_back(whole);
            }
            for (const auto& [index, copies] : repeated) {
                RECT one{0, 0, width, 0};
                const auto count = std::count(copies.begin(), copies.end(), L'\n') + 1;
                EXPECT_EQ(
                    DrawTextW(canvas.dc(), copies.c_str(), -1, &one, DT_WORDBREAK | DT_CALCRECT),
                    count * wholes[index].cy * lineHeight)
                    << width << " " << index;
                EXPECT_EQ(one.right, wholes[index].cx) << width << " " << index;
            }
            RECT measured{0, 0, width, 0};
            const int height =
                DrawTextW(canvas.dc(), text.c_str(), -1, &measured, DT_WORDBREAK | DT_CALCRECT);
            EXPECT_EQ(height, lines * lineHeight) << width;
            EXPECT_EQ(measured.right, widest) << width;
            RECT again{0, 0, width, 0};
            EXPECT_EQ(DrawTextW(canvas.dc(), text.c_str(), -1, &again, DT_WORDBREAK | DT_CALCRECT),
                      height);
            if (width % 5 == 1) {
                RECT unclipped{0, 0, width, 200};
                EXPECT_EQ(
                    DrawTextW(canvas.dc(), text.c_str(), -1, &unclipped, DT_WORDBREAK | DT_NOCLIP),
                    height)
                    << width;
            }
        }
    }
}

// Random bytes decoded as UTF-8, and wide strings with lone surrogates and
// code points past Unicode: drawn and measured, never a crash.
TEST_F(TextUnderLoad, InvalidTextIsDrawnAsWhatItDecodesTo) {
    std::mt19937 random(11);
    std::string bytes;
    std::wstring wide;
    for (int i = 0; i < 6'000; ++i) {
        bytes.resize(1 + random() % 40);
        for (char& b : bytes)
            b = static_cast<char>(random());
        draw(tessel::decodeUtf8(bytes), DT_SINGLELINE);
        wide.assign(1 + random() % 12, L'a');
        for (wchar_t& c : wide) {
            const unsigned pick = random() % 4;
            c = pick == 0   ? static_cast<wchar_t>(0xD800 + random() % 0x800)  // a lone surrogate
                : pick == 1 ? static_cast<wchar_t>(0x110000 + random() % 0x1000)
                            : static_cast<wchar_t>(L'a' + random() % 26);
        }
        draw(wide, DT_WORDBREAK);
        SIZE size{};
        GetTextExtentPoint32W(canvas.dc(), wide.c_str(), static_cast<int>(wide.size()), &size);
        EXPECT_GE(size.cx, 0);
    }
    expectBoundedGrowth();
}

}  // namespace
