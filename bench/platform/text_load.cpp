// Text under load, one call each into a 300x200 memory DC with Arial 13 px:
// a 1,000,000-character line drawn centred (the same line again, and a new
// one each time), measured (DT_CALCRECT) and written with TextOut far to the
// left; 100,000 wrapped lines drawn and
// measured (the same text again, and a new one each time); a distinct 1,000-character line drawn every call.
#include <benchmark/benchmark.h>

#include <cwchar>
#include <random>
#include <string>

#include <tessel/platform/gdi.h>

namespace {

constexpr int kWidth = 300, kHeight = 200;

struct LoadCanvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
    HFONT font;
    HGDIOBJ oldBitmap, oldFont;
    LoadCanvas() {
        LOGFONTW lf{};
        lf.lfHeight = -13;
        lf.lfWeight = FW_NORMAL;
        std::wcsncpy(lf.lfFaceName, L"Arial", LF_FACESIZE - 1);
        font = CreateFontIndirectW(&lf);
        oldBitmap = SelectObject(dc, bitmap);
        oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
    }
    ~LoadCanvas() {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(font);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    LoadCanvas(const LoadCanvas&) = delete;
    LoadCanvas& operator=(const LoadCanvas&) = delete;

    int draw(const std::wstring& text, UINT format) {
        RECT r{0, 0, kWidth, kHeight};
        return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    }
};

const std::wstring& millionCharacterLine() {
    static const std::wstring line = [] {
        std::wstring text(1'000'000, L'x');
        for (std::size_t i = 7; i < text.size(); i += 8)
            text[i] = L' ';
        return text;
    }();
    return line;
}

// "wrapped line0", "wrapped line1"... each followed by `separator`.
std::wstring hundredThousandWords(wchar_t separator) {
    std::wstring text;
    for (int i = 0; i < 100'000; ++i)
        text.append(L"wrapped line").append(std::to_wstring(i)).push_back(separator);
    return text;
}

const std::wstring& hundredThousandLines() {
    static const std::wstring paragraph = hundredThousandWords(L' ');
    return paragraph;
}

// The same words, a line each.
const std::wstring& hundredThousandShortLines() {
    static const std::wstring lines = hundredThousandWords(L'\n');
    return lines;
}

void runDraw(benchmark::State& state, const std::wstring& text, UINT format) {
    LoadCanvas canvas;
    for (auto _ : state)
        benchmark::DoNotOptimize(canvas.draw(text, format));
}

void BM_MillionCharacterLine(benchmark::State& state) {
    runDraw(state, millionCharacterLine(), DT_SINGLELINE | DT_VCENTER);
}
// A line never drawn before each time: nothing of it is cached.
void BM_MillionCharacterLineNew(benchmark::State& state) {
    LoadCanvas canvas;
    std::wstring line = millionCharacterLine();
    for (auto _ : state) {
        state.PauseTiming();
        line[0] = line[0] == L'x' ? L'y' : L'x';
        state.ResumeTiming();
        benchmark::DoNotOptimize(canvas.draw(line, DT_SINGLELINE | DT_VCENTER));
    }
}
void BM_MillionCharacterLineCalcRect(benchmark::State& state) {
    runDraw(state, millionCharacterLine(), DT_SINGLELINE | DT_CALCRECT);
}
void BM_MillionCharacterTextOut(benchmark::State& state) {
    LoadCanvas canvas;
    const std::wstring& line = millionCharacterLine();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TextOutW(canvas.dc, -5'000'000, 100, line.c_str(), static_cast<int>(line.size())));
}
void BM_HundredThousandWrappedLines(benchmark::State& state) {
    runDraw(state, hundredThousandLines(), DT_WORDBREAK);
}
void BM_HundredThousandWrappedLinesCalcRect(benchmark::State& state) {
    runDraw(state, hundredThousandLines(), DT_WORDBREAK | DT_CALCRECT);
}
// Drawn or measured the first time: each call changes the first line.
void runNew(benchmark::State& state, const std::wstring& source, UINT format) {
    LoadCanvas canvas;
    std::wstring text = source;
    static unsigned long long call = 0;  // repetitions go on from the last text
    for (auto _ : state) {
        state.PauseTiming();
        ++call;
        for (int i = 0; i < 6; ++i)
            text[static_cast<std::size_t>(i)] = static_cast<wchar_t>(L'a' + (call >> (5 * i)) % 26);
        state.ResumeTiming();
        benchmark::DoNotOptimize(canvas.draw(text, format));
    }
}
// Text never measured before each time: nothing of it is cached.
void BM_HundredThousandWrappedLinesCalcRectNew(benchmark::State& state) {
    runNew(state, hundredThousandLines(), DT_WORDBREAK | DT_CALCRECT);
}
void BM_HundredThousandWrappedLinesNew(benchmark::State& state) {
    runNew(state, hundredThousandLines(), DT_WORDBREAK);
}
void BM_HundredThousandShortLinesNew(benchmark::State& state) {
    runNew(state, hundredThousandShortLines(), DT_WORDBREAK);
}
void BM_HundredThousandShortLinesCalcRectNew(benchmark::State& state) {
    runNew(state, hundredThousandShortLines(), DT_WORDBREAK | DT_CALCRECT);
}
void BM_DistinctThousandCharacterLine(benchmark::State& state) {
    LoadCanvas canvas;
    std::mt19937 random(7);
    std::wstring line(1000, L'a');
    for (auto _ : state) {
        state.PauseTiming();
        for (wchar_t& c : line)
            c = static_cast<wchar_t>(L'a' + random() % 26);
        state.ResumeTiming();
        benchmark::DoNotOptimize(canvas.draw(line, DT_SINGLELINE));
    }
}

}  // namespace

BENCHMARK(BM_MillionCharacterLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MillionCharacterLineNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MillionCharacterLineCalcRect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MillionCharacterTextOut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredThousandWrappedLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredThousandWrappedLinesCalcRect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredThousandWrappedLinesCalcRectNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredThousandWrappedLinesNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredThousandShortLinesNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredThousandShortLinesCalcRectNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DistinctThousandCharacterLine)->Unit(benchmark::kMillisecond);
