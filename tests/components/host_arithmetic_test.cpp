// The host's flow and scroll-bar arithmetic as pure functions, one table row
// per case: where components go, each bar's scale, range and page, and where
// a step stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tessel/components/YBFlowLayout.h>
#include <tessel/components/YBScrollPlan.h>

#include "components_test.h"  // PrintTo for geometry, EXPECT_SEQ

void PrintTo(const YBScrollPlan::Bar& bar, std::ostream* out) {
    *out << "{scale " << bar.scale << ", nMax " << bar.nMax << ", nPage " << bar.nPage << '}';
}

namespace {

// `count` components of `size` one under the other, from the top.
YBFlowLayout column(int count, CSize size) {
    YBFlowLayout flow;
    for (int i = 0; i < count; ++i)
        flow.positions.emplace_back(0, i * size.cy);
    flow.contentsSize = CSize(size.cx, count * size.cy);
    flow.lineHeight = size.cy;
    return flow;
}

TEST(FlowLayoutTest, MatchesTheTable) {
    struct Row {
        const char* name;
        std::vector<CSize> sizes;
        int clientWidth;
        YBFlowLayout expected;
    };
    // clang-format off
    const Row rows[] = {
        // name                  sizes                                  width  positions                        contents   line
        {"EmptyHost",            {},                                    250,   {{},                             {0, 0},    0}},
        {"OneWiderThanClient",   {{300, 25}},                           250,   {{{0, 0}},                       {300, 25}, 25}},
        {"WideOneWrapsAndIsWrappedAfter", {{100, 10}, {300, 25}, {10, 5}}, 250, {{{0, 0}, {0, 10}, {0, 35}},    {300, 40}, 25}},
        {"ZeroWidthClient",      {{10, 10}, {20, 5}, {5, 30}},          0,     {{{0, 0}, {0, 10}, {0, 15}},     {20, 45},  30}},
        {"EndingOnTheEdgeStays", {{100, 10}, {150, 10}},                250,   {{{0, 0}, {100, 0}},             {250, 10}, 10}},
        {"OnePixelOverWraps",    {{100, 10}, {151, 10}},                250,   {{{0, 0}, {0, 10}},              {151, 20}, 10}},
        {"TallestInALaterRow",   {{50, 10}, {50, 10}, {50, 40}},        100,   {{{0, 0}, {50, 0}, {0, 10}},     {100, 50}, 40}},
        {"WidestRowIsNotTheLast", {{80, 10}, {80, 10}, {40, 10}},       170,   {{{0, 0}, {80, 0}, {0, 10}},     {160, 20}, 10}},
        {"ContentsOver32767",    std::vector<CSize>(400, {200, 200}),   200,   column(400, {200, 200})},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const YBFlowLayout flow = YBFlowLayout::compute(row.sizes, row.clientWidth);
        EXPECT_SEQ(flow.positions, row.expected.positions);
        EXPECT_EQ(flow.contentsSize, row.expected.contentsSize);
        EXPECT_EQ(flow.lineHeight, row.expected.lineHeight);
    }
}

// A bar without SIF_DISABLENOSCROLL shows while nMin < nMax - max(nPage - 1, 0).
bool shown(const YBScrollPlan::Bar& bar) {
    return bar.nMax > 0 && static_cast<int>(bar.nPage) <= bar.nMax;
}

TEST(ScrollPlanTest, MatchesTheTable) {
    struct Row {
        const char* name;
        CSize contents, client;
        YBScrollPlan expected;  // horizontal, then vertical: {scale, nMax, nPage}
        bool horizontalShown, verticalShown;
    };
    // clang-format off
    const Row rows[] = {
        // name                   contents          client        horizontal         vertical            shown h, v
        {"EmptyHost",             {0, 0},           {200, 100},   {{1, 0, 200},      {1, 0, 100}},       false, false},
        {"ZeroSizeClient",        {150, 300},       {0, 0},       {{1, 150, 0},      {1, 300, 0}},       true,  true},
        // The range 0..contents holds one unit more than the contents: a bar shows when they exactly fit.
        {"ContentsEqualClient",   {200, 100},       {200, 100},   {{1, 200, 200},    {1, 100, 100}},     true,  true},
        {"OnePixelUnderClient",   {199, 99},        {200, 100},   {{1, 199, 200},    {1, 99, 100}},      false, false},
        {"Largest16BitRange",     {32767, 10},      {100, 10},    {{1, 32767, 100},  {1, 10, 10}},       true,  true},
        {"FirstScaleOfTwo",       {32768, 0},       {100, 0},     {{2, 16384, 50},   {1, 0, 0}},         true,  false},
        {"OddClientAtScaleTwo",   {40000, 0},       {101, 0},     {{2, 20000, 50},   {1, 0, 0}},         true,  false},
        {"LastScaleOfTwo",        {0, 65535},       {0, 300},     {{1, 0, 0},        {2, 32767, 150}},   false, true},
        {"FirstScaleOfThree",     {0, 65536},       {0, 300},     {{1, 0, 0},        {3, 21845, 100}},   false, true},
        {"ClientUnderOneUnit",    {80000, 80000},   {2, 2},       {{3, 26666, 0},    {3, 26666, 0}},     true,  true},
        {"BothBarsScaled",        {100000, 1000000},{400, 300},   {{4, 25000, 100},  {31, 32258, 9}},    true,  true},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const YBScrollPlan plan = YBScrollPlan::compute(row.contents, row.client);
        EXPECT_EQ(plan.horizontal, row.expected.horizontal);
        EXPECT_EQ(plan.vertical, row.expected.vertical);
        EXPECT_EQ(shown(plan.horizontal), row.horizontalShown);
        EXPECT_EQ(shown(plan.vertical), row.verticalShown);
    }
}

// The last position is the bar's nMax - nPage; a page is the client less a
// line, or a line when the client is smaller.
TEST(ScrollPlanTest, StepsStopWhereTheTableSays) {
    struct Row {
        const char* name;
        int fromUnits, pixels, lastUnits, scale, expected;
    };
    // clang-format off
    const Row rows[] = {
        // name                          from    pixels    last     scale  to
        {"LineUpAtTheTopStays",          0,      -30,      200,     1,     0},
        {"StopsAtTheLastPage",           190,    30,       200,     1,     200},
        {"FromTheThumbsEndToTheStepsEnd", 201,   30,       200,     1,     200},
        {"ContentsFitNowhereToGo",       0,      50,       -40,     1,     0},
        {"UnderAUnitStillMovesOne",      0,      1,        26566,   3,     1},
        {"UnderAUnitBackStillMovesOne",  10,     -2,       26566,   3,     9},
        {"ScaledLine",                   0,      200,      26566,   3,     66},
        {"ScaledStopsAtTheLastPage",     26500,  1000000,  26566,   3,     26566},
        {"ScaledBackPastTheStart",       20,     -1000,    26566,   3,     0},
    };
    // clang-format on
    for (const Row& row : rows)
        EXPECT_EQ(YBScrollPlan::stepUnits(row.fromUnits, row.pixels, row.lastUnits, row.scale),
                  row.expected)
            << row.name;
    EXPECT_EQ(YBScrollPlan::pageStep(100, 30), 70);
    EXPECT_EQ(YBScrollPlan::pageStep(30, 30), 0);
    EXPECT_EQ(YBScrollPlan::pageStep(20, 30), 30);
    EXPECT_EQ(YBScrollPlan::pageStep(0, 0), 0);
}

}  // namespace
