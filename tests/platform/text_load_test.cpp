// Text under load: huge lines, huge paragraphs, many distinct lines and
// invalid input are drawn into a 300x200 clip without a crash, and the
// memory the text engine keeps stays bounded whatever it was given.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>

#include <tessel/platform/gdi.h>
#include <tessel/platform/text_encoding.h>

#include "text_canvas.h"

namespace {

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
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kResidentSizeMeans = false;
#else
constexpr bool kResidentSizeMeans = true;
#endif
#else
constexpr bool kResidentSizeMeans = true;
#endif

class TextUnderLoad : public ::testing::Test {
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

TEST_F(TextUnderLoad, ManyDistinctLongLinesKeepTheCacheBounded) {
    std::mt19937 random(7);
    std::wstring line(1000, L'a');
    for (int i = 0; i < 1500; ++i) {
        for (wchar_t& c : line)
            c = static_cast<wchar_t>(L'a' + random() % 26);
        draw(line, DT_SINGLELINE);
    }
    expectBoundedGrowth();
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
