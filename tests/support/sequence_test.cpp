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
    EXPECT_EQ(std::string(matchSequence(Names{"a", "b", "x", "d"}, {"a", "b", "c", "d"}).message()),
              "sequences differ at step 2: got x, expected c\n"
              "  actual:   {a, b, x, d}\n"
              "  expected: {a, b, c, d}");
    EXPECT_EQ(failure(matchSequence(Names{"a"}, {"a", "c"})),
              "sequences differ at step 1: got (end), expected c");
    EXPECT_EQ(failure(matchSequence(Names{"a", "b"}, {"a"})),
              "sequences differ at step 1: got b, expected (end)");
    EXPECT_EQ(failure(matchSequence(std::vector<int>{1, 2}, {1, 3})),
              "sequences differ at step 1: got 2, expected 3");
    EXPECT_TRUE(matchSequence(Names{}, {}));
    EXPECT_TRUE(matchSequence(std::vector<bool>{false}, {false}));
    EXPECT_EQ(test_support::call("onSize", 0, 100, 50), "onSize(0,100,50)");
    EXPECT_EQ(test_support::call("onDraw"), "onDraw()");
}

}  // namespace
