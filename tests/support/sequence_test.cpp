// The sequence matcher itself: optional steps, and failures that point at
// the first difference.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sequence.h"

namespace {

using test_support::matchSequence;
using test_support::Names;
using test_support::optional;

std::string failure(const ::testing::AssertionResult& result) {
    EXPECT_FALSE(result);
    const std::string message = result.message();
    return message.substr(0, message.find('\n'));
}

TEST(Sequence, OptionalStepsMayBeThereOnceOrNotAtAll) {
    const test_support::Sequence expected{"WM_CREATE", optional("WM_SIZE"), optional("WM_MOVE"),
                                          "WM_SHOWWINDOW"};
    for (const Names& actual :
         {Names{"WM_CREATE", "WM_SHOWWINDOW"}, Names{"WM_CREATE", "WM_SIZE", "WM_SHOWWINDOW"},
          Names{"WM_CREATE", "WM_MOVE", "WM_SHOWWINDOW"},
          Names{"WM_CREATE", "WM_SIZE", "WM_MOVE", "WM_SHOWWINDOW"}})
        EXPECT_TRUE(matchSequence(actual, expected)) << testing::PrintToString(actual);
    EXPECT_EQ(failure(matchSequence(Names{"WM_CREATE", "WM_SIZE", "WM_SIZE"}, expected)),
              "sequences differ at step 2: got WM_SIZE, expected WM_MOVE or WM_SHOWWINDOW");
    EXPECT_EQ(failure(matchSequence(Names{"WM_CREATE", "WM_MOVE", "WM_SIZE"}, expected)),
              "sequences differ at step 2: got WM_SIZE, expected WM_SHOWWINDOW");
    EXPECT_EQ(failure(matchSequence(Names{"WM_MOVE"}, {optional("WM_SIZE"), "WM_SIZE"})),
              "sequences differ at step 0: got WM_MOVE, expected WM_SIZE");
    EXPECT_TRUE(matchSequence(Names{}, {optional("WM_PAINT")}));
    EXPECT_TRUE(matchSequence(Names{"WM_PAINT"}, {optional("WM_PAINT")}));
}

TEST(Sequence, AFailureNamesTheFirstDifferenceAndShowsBoth) {
    const auto result = matchSequence(Names{"a", "b", "x", "d"}, {"a", "b", "c", "d"});
    EXPECT_EQ(std::string(result.message()),
              "sequences differ at step 2: got x, expected c\n"
              "  actual:   {a, b, x, d}\n"
              "  expected: {a, b, c, d}");
    EXPECT_EQ(failure(matchSequence(Names{"a"}, {"a", optional("b"), "c"})),
              "sequences differ at step 1: got (end), expected b or c");
    EXPECT_EQ(failure(matchSequence(Names{"a", "b"}, {"a"})),
              "sequences differ at step 1: got b, expected (end)");
    EXPECT_EQ(failure(matchSequence(Names{"a"}, {})),
              "sequences differ at step 0: got a, expected (end)");
    EXPECT_TRUE(matchSequence(Names{}, {}));
    const Names recorded{"a", "b"};
    EXPECT_TRUE(matchSequence(recorded, recorded));
}

TEST(Sequence, OtherValuesCompareStepForStep) {
    EXPECT_TRUE(matchSequence(std::vector<int>{7, 7}, {7, 7}));
    EXPECT_TRUE(matchSequence(std::vector<bool>{false}, {false}));
    EXPECT_EQ(failure(matchSequence(std::vector<int>{1, 2}, {1, 3})),
              "sequences differ at step 1: got 2, expected 3");
    EXPECT_EQ(std::string(matchSequence(std::vector<int>{1}, {}).message()),
              "sequences differ at step 0: got 1, expected (end)\n"
              "  actual:   {1}\n"
              "  expected: {}");
    EXPECT_EQ(test_support::call("onSize", 0, 100, 50), "onSize(0,100,50)");
    EXPECT_EQ(test_support::call("onDraw"), "onDraw()");
}

}  // namespace
