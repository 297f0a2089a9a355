// The sequence matcher itself: failures that point at the first difference.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sequence.h"

namespace {

using test_support::matchSequence;
using test_support::Names;

std::string failure(const ::testing::AssertionResult& result) {
    EXPECT_FALSE(result);
    const std::string message = result.message();
    return message.substr(0, message.find('\n'));
}

TEST(Sequence, AFailureNamesTheFirstDifferenceAndShowsBoth) {
    const auto result = matchSequence(Names{"a", "b", "x", "d"}, {"a", "b", "c", "d"});
    EXPECT_EQ(std::string(result.message()),
              "sequences differ at step 2: got x, expected c\n"
              "  actual:   {a, b, x, d}\n"
              "  expected: {a, b, c, d}");
    EXPECT_EQ(failure(matchSequence(Names{"a"}, {"a", "c"})),
              "sequences differ at step 1: got (end), expected c");
    EXPECT_EQ(failure(matchSequence(Names{"a", "b"}, {"a"})),
              "sequences differ at step 1: got b, expected (end)");
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
