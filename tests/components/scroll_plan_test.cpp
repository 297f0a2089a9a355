// The host's scroll-bar arithmetic as pure functions: one table row per
// case, no window. Rows cover the plan of both bars (scale, nMax, nPage),
// where the end of the contents is in bar units, and where a step stops.
#include <gtest/gtest.h>

#include <string>

#include <tessel/components/YBScrollPlan.h>

#include "components_test.h"  // PrintTo for geometry, RowName

// Found by argument-dependent lookup, so beside the bar's own namespace.
void PrintTo(const YBScrollPlan::Bar& bar, std::ostream* out) {
    *out << "{scale " << bar.scale << ", nMax " << bar.nMax << ", nPage " << bar.nPage << '}';
}

namespace {

using components_test::RowName;

// Win32's rule for a bar without SIF_DISABLENOSCROLL: shown exactly while
// nMin < nMax - max(nPage - 1, 0), with nMin 0 here.
bool shown(const YBScrollPlan::Bar& bar) {
    return bar.nMax > 0 && static_cast<int>(bar.nPage) <= bar.nMax;
}

struct PlanCase {
    std::string name;
    CSize contents, client;
    YBScrollPlan expected;  // horizontal, then vertical: {scale, nMax, nPage}
    bool horizontalShown, verticalShown;
};

void PrintTo(const PlanCase& row, std::ostream* out) {
    *out << row.name;
}

// clang-format off
const PlanCase kPlans[] = {
    // name                   contents          client        horizontal             vertical                shown h, v
    {"EmptyHost",             {0, 0},           {200, 100},   {{1, 0, 200},          {1, 0, 100}},           false, false},
    {"EmptyHostNoClient",     {0, 0},           {0, 0},       {{1, 0, 0},            {1, 0, 0}},             false, false},
    {"ZeroSizeClient",        {150, 300},       {0, 0},       {{1, 150, 0},          {1, 300, 0}},           true,  true},
    {"ContentsFit",           {100, 60},        {150, 100},   {{1, 100, 150},        {1, 60, 100}},          false, false},
    // The range 0..contents holds one unit more than the contents: a bar shows when they exactly fit.
    {"ContentsEqualClient",   {200, 100},       {200, 100},   {{1, 200, 200},        {1, 100, 100}},         true,  true},
    {"OnePixelUnderClient",   {199, 99},        {200, 100},   {{1, 199, 200},        {1, 99, 100}},          false, false},
    {"TallerThanClient",      {150, 300},       {183, 100},   {{1, 150, 183},        {1, 300, 100}},         false, true},
    {"WiderThanClient",       {300, 25},        {250, 100},   {{1, 300, 250},        {1, 25, 100}},          true,  false},
    {"Largest16BitRange",     {32767, 10},      {100, 10},    {{1, 32767, 100},      {1, 10, 10}},           true,  true},
    {"FirstScaleOfTwo",       {32768, 0},       {100, 0},     {{2, 16384, 50},       {1, 0, 0}},             true,  false},
    {"OddClientAtScaleTwo",   {40000, 0},       {101, 0},     {{2, 20000, 50},       {1, 0, 0}},             true,  false},
    {"LastScaleOfTwo",        {0, 65535},       {0, 300},     {{1, 0, 0},            {2, 32767, 150}},       false, true},
    {"FirstScaleOfThree",     {0, 65536},       {0, 300},     {{1, 0, 0},            {3, 21845, 100}},       false, true},
    {"ContentsOver32767",     {200, 80000},     {200, 300},   {{1, 200, 200},        {3, 26666, 100}},       true,  true},
    {"ClientUnderOneUnit",    {80000, 80000},   {2, 2},       {{3, 26666, 0},        {3, 26666, 0}},         true,  true},
    {"BothBarsScaled",        {100000, 1000000},{400, 300},   {{4, 25000, 100},      {31, 32258, 9}},        true,  true},
};
// clang-format on

class ScrollPlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(ScrollPlanTest, MatchesTheTable) {
    const PlanCase& row = GetParam();
    const YBScrollPlan plan = YBScrollPlan::compute(row.contents, row.client);
    EXPECT_EQ(plan.horizontal, row.expected.horizontal);
    EXPECT_EQ(plan.vertical, row.expected.vertical);
    EXPECT_EQ(shown(plan.horizontal), row.horizontalShown);
    EXPECT_EQ(shown(plan.vertical), row.verticalShown);
    // Each bar's range stays within 16 bits, and a unit is never less than a pixel.
    for (const YBScrollPlan::Bar& bar : {plan.horizontal, plan.vertical}) {
        EXPECT_LE(bar.nMax, 32767);
        EXPECT_GE(bar.scale, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ScrollPlanTest, ::testing::ValuesIn(kPlans), RowName());

struct EndCase {
    std::string name;
    int contents, client, scale;
    int expected;  // units
};

void PrintTo(const EndCase& row, std::ostream* out) {
    *out << row.name;
}

// clang-format off
const EndCase kEnds[] = {
    // name                     contents  client  scale  end units
    {"EmptyHost",               0,        100,    1,     0},
    {"NoClient",                300,      0,      1,     300},
    {"ContentsFit",             60,       100,    1,     0},
    {"ContentsEqualClient",     100,      100,    1,     0},
    {"ScaleOne",                300,      100,    1,     200},
    {"ScaleTwoExact",           32768,    0,      2,     16384},
    {"ScaleTwoRoundsUp",        32769,    0,      2,     16385},
    {"ScaleThreeRoundsUp",      80000,    300,    3,     26567},  // 79700 / 3 = 26566.67
    {"ScaleThreeOneUnitLeft",   80000,    79997,  3,     1},
};
// clang-format on

class ScrollEndTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(ScrollEndTest, ShowsTheLastPixel) {
    const EndCase& row = GetParam();
    const int end = YBScrollPlan::endUnits(row.contents, row.client, row.scale);
    EXPECT_EQ(end, row.expected);
    // At the end the last pixel is in view, and a unit earlier it was not.
    EXPECT_GE(end * row.scale + row.client, row.contents);
    if (end > 0) {
        EXPECT_LT((end - 1) * row.scale + row.client, row.contents);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ScrollEndTest, ::testing::ValuesIn(kEnds), RowName());

struct StepCase {
    std::string name;
    int fromUnits, pixels, lastUnits, scale;
    int expected;  // units
};

void PrintTo(const StepCase& row, std::ostream* out) {
    *out << row.name;
}

// The last position is the bar's nMax - nPage: contents 300 in a client of 100
// give 200; 80,000 in 300 at scale 3 give 26666 - 100.
// clang-format off
const StepCase kSteps[] = {
    // name                          from    pixels    last     scale  to
    {"LineDown",                     0,      30,       200,     1,     30},
    {"LineUpAtTheTopStays",          0,      -30,      200,     1,     0},
    {"LineUp",                       90,     -30,      200,     1,     60},
    {"StopsAtTheLastPage",           190,    30,       200,     1,     200},
    {"FromTheThumbsEndToTheStepsEnd", 201,   30,       200,     1,     200},
    {"PageDown",                     0,      70,       200,     1,     70},
    {"NoStep",                       5,      0,        200,     1,     5},
    {"ContentsFitNowhereToGo",       0,      50,       -40,     1,     0},
    {"EmptyHost",                    0,      30,       -100,    1,     0},
    {"UnderAUnitStillMovesOne",      0,      1,        26566,   3,     1},
    {"UnderAUnitBackStillMovesOne",  10,     -2,       26566,   3,     9},
    {"ScaledLine",                   0,      200,      26566,   3,     66},
    {"ScaledPage",                   33,     100,      26566,   3,     66},
    {"ScaledStopsAtTheLastPage",     26500,  1000000,  26566,   3,     26566},
    {"ScaledBackPastTheStart",       20,     -1000,    26566,   3,     0},
};
// clang-format on

class ScrollStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(ScrollStepTest, StopsWhereTheTableSays) {
    const StepCase& row = GetParam();
    EXPECT_EQ(YBScrollPlan::stepUnits(row.fromUnits, row.pixels, row.lastUnits, row.scale),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, ScrollStepTest, ::testing::ValuesIn(kSteps), RowName());

TEST(ScrollPageStepTest, IsTheClientLessALineOrALine) {
    struct Row {
        int client, line, expected;
    };
    // clang-format off
    const Row rows[] = {
        // client  line  pixels
        {100,      30,   70},
        {300,      200,  100},
        {30,       30,   0},
        {20,       30,   30},   // a client smaller than a line pages by a line
        {0,        0,    0},
        {0,        32,   32},
    };
    // clang-format on
    for (const Row& row : rows)
        EXPECT_EQ(YBScrollPlan::pageStep(row.client, row.line), row.expected)
            << "client " << row.client << ", line " << row.line;
}

}  // namespace
