// The host's scroll-bar arithmetic as pure functions, one table row per
// case: each bar's scale, range and page, and where a step stops.
#include <gtest/gtest.h>

#include <string>

#include <tessel/components/YBScrollPlan.h>

#include "components_test.h"  // PrintTo for geometry

void PrintTo(const YBScrollPlan::Bar& bar, std::ostream* out) {
    *out << "{scale " << bar.scale << ", nMax " << bar.nMax << ", nPage " << bar.nPage << '}';
}

namespace {

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
        {"ZeroSizeClient",        {150, 300},       {0, 0},       {{1, 150, 0},      {1, 300, 0}},       true,  true},
        // The range 0..contents holds one unit more than the contents: a bar shows when they exactly fit.
        {"ContentsEqualClient",   {200, 100},       {200, 100},   {{1, 200, 200},    {1, 100, 100}},     true,  true},
        {"OnePixelUnderClient",   {199, 99},        {200, 100},   {{1, 199, 200},    {1, 99, 100}},      false, false},
        {"Largest16BitRange",     {32767, 10},      {100, 10},    {{1, 32767, 100},  {1, 10, 10}},       true,  true},
        {"FirstScaleOfTwo",       {32768, 0},       {100, 0},     {{2, 16384, 50},   {1, 0, 0}},         true,  false},
        {"LastScaleOfTwo",        {0, 65535},       {0, 300},     {{1, 0, 0},        {2, 32767, 150}},   false, true},
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
        {"FromTheThumbsEndToTheStepsEnd", 201,   30,       200,     1,     200},
        {"ContentsFitNowhereToGo",       0,      50,       -40,     1,     0},
        {"UnderAUnitStillMovesOne",      0,      1,        26566,   3,     1},
        {"UnderAUnitBackStillMovesOne",  10,     -2,       26566,   3,     9},
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
