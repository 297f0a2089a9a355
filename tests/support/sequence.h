// The one matcher for what tests record in order: window messages by name
// ("WM_CREATE"), handler calls ("onSize(0,100,50)"), events, or any values
// that compare with ==. On a mismatch the failure names the first difference
// and shows both sequences.
//
//   EXPECT_SEQ(messagesOf(w), {"WM_NCCREATE", "WM_CREATE", "WM_SIZE", "WM_MOVE"});
//   EXPECT_SEQ(app.commands, {7, 7});
#pragma once

#include <gtest/gtest.h>

#include <concepts>
#include <cstddef>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace test_support {

// A recorded sequence of names: messages, handler calls, events.
using Names = std::vector<std::string>;

// "call(1,2)": one recorded handler call with its arguments.
template <typename... Args>
std::string call(const char* name, Args... args) {
    std::ostringstream out;
    out << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((out << separator << args, separator = ","), ...);
    out << ')';
    return out.str();
}

namespace detail {

// Element `index` as a failure shows it; "(end)" past the last.
template <class T>
std::string show(const std::vector<T>& values, std::size_t index) {
    if (index >= values.size()) return "(end)";
    const T& value = values[index];  // a copy for vector<bool>'s proxies
    if constexpr (std::same_as<T, std::string>) {
        return value;
    } else {
        return ::testing::PrintToString(value);
    }
}

template <class T>
std::string showAll(const std::vector<T>& values) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i ? ", " : "") + show(values, i);
    return "{" + out + "}";
}

}  // namespace detail

template <class T>
::testing::AssertionResult matchSequence(const std::vector<T>& actual,
                                         const std::type_identity_t<std::vector<T>>& expected) {
    std::size_t i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i])
        ++i;
    if (i == actual.size() && i == expected.size()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "sequences differ at step " << i << ": got " << detail::show(actual, i)
           << ", expected " << detail::show(expected, i)
           << "\n  actual:   " << detail::showAll(actual)
           << "\n  expected: " << detail::showAll(expected);
}

}  // namespace test_support

#define EXPECT_SEQ(actual, ...) EXPECT_TRUE(::test_support::matchSequence(actual, __VA_ARGS__))
#define ASSERT_SEQ(actual, ...) ASSERT_TRUE(::test_support::matchSequence(actual, __VA_ARGS__))
