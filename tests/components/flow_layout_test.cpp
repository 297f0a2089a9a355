// The host's flow as a pure function: one table row per case, no window.
// A row gives the component sizes and the client width, and the whole
// layout expected: every position, the contents size and the line height.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tessel/components/YBFlowLayout.h>

#include "components_test.h"  // PrintTo for geometry, EXPECT_SEQ, RowName

namespace {

using components_test::RowName;

struct FlowCase {
    std::string name;
    std::vector<CSize> sizes;
    int clientWidth;
    YBFlowLayout expected;
};

void PrintTo(const FlowCase& row, std::ostream* out) {
    *out << row.name;
}

// `count` components of `size` one under the other, from the top.
YBFlowLayout column(int count, CSize size) {
    YBFlowLayout flow;
    for (int i = 0; i < count; ++i)
        flow.positions.emplace_back(0, i * size.cy);
    flow.contentsSize = CSize(size.cx, count * size.cy);
    flow.lineHeight = size.cy;
    return flow;
}

// clang-format off
const FlowCase kCases[] = {
    // name                  sizes                                  width  positions                        contents       line
    {"EmptyHost",            {},                                    250,   {{},                             {0, 0},        0}},
    {"EmptyHostNoClient",    {},                                    0,     {{},                             {0, 0},        0}},
    {"OneComponent",         {{100, 20}},                           250,   {{{0, 0}},                       {100, 20},     20}},
    {"OneWiderThanClient",   {{300, 25}},                           250,   {{{0, 0}},                       {300, 25},     25}},
    {"WideOneWrapsAndIsWrappedAfter", {{100, 10}, {300, 25}, {10, 5}}, 250, {{{0, 0}, {0, 10}, {0, 35}},    {300, 40},     25}},
    {"ZeroWidthClient",      {{10, 10}, {20, 5}, {5, 30}},          0,     {{{0, 0}, {0, 10}, {0, 15}},     {20, 45},      30}},
    {"EndingOnTheEdgeStays", {{100, 10}, {150, 10}},                250,   {{{0, 0}, {100, 0}},             {250, 10},     10}},
    {"OnePixelOverWraps",    {{100, 10}, {151, 10}},                250,   {{{0, 0}, {0, 10}},              {151, 20},     10}},
    {"ZeroSizeComponents",   {{0, 0}, {0, 0}},                      100,   {{{0, 0}, {0, 0}},               {0, 0},        0}},
    {"RowsOfMixedHeights",   {{100, 20}, {100, 30}, {100, 10}},     250,   {{{0, 0}, {100, 0}, {0, 30}},    {200, 40},     30}},
    {"TallestInALaterRow",   {{50, 10}, {50, 10}, {50, 40}},        100,   {{{0, 0}, {50, 0}, {0, 10}},     {100, 50},     40}},
    {"WidestRowIsNotTheLast", {{80, 10}, {80, 10}, {40, 10}},       170,   {{{0, 0}, {80, 0}, {0, 10}},     {160, 20},     10}},
    {"MixedRowsWithEdgeAndWide",
        {{100, 20}, {100, 30}, {100, 10}, {150, 10}, {300, 25}, {10, 5}}, 250,
        {{{0, 0}, {100, 0}, {0, 30}, {100, 30}, {0, 40}, {0, 65}},                                       {300, 70},     30}},
    {"ColumnUnderTheBar",    std::vector<CSize>(10, {150, 30}),     183,   column(10, {150, 30})},
    {"ContentsOver32767",    std::vector<CSize>(400, {200, 200}),   200,   column(400, {200, 200})},
};
// clang-format on

class FlowLayoutTest : public ::testing::TestWithParam<FlowCase> {};

TEST_P(FlowLayoutTest, MatchesTheTable) {
    const FlowCase& row = GetParam();
    const YBFlowLayout flow = YBFlowLayout::compute(row.sizes, row.clientWidth);
    EXPECT_SEQ(flow.positions, row.expected.positions);
    EXPECT_EQ(flow.contentsSize, row.expected.contentsSize);
    EXPECT_EQ(flow.lineHeight, row.expected.lineHeight);
    EXPECT_EQ(flow.positions.size(), row.sizes.size());
}

INSTANTIATE_TEST_SUITE_P(Rows, FlowLayoutTest, ::testing::ValuesIn(kCases), RowName());

}  // namespace
