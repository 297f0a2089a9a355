// The one matcher for what tests record in order: window messages by name
// ("WM_CREATE"), handler calls ("onSize(0,100,50)"), events, or any values
// that compare with ==. A name sequence may mark steps optional (there once,
// or not at all); on a mismatch the failure names the first difference and
// shows both sequences.
//
//   EXPECT_SEQ(messagesOf(w), {"WM_NCCREATE", "WM_CREATE", optional("WM_SIZE"), "WM_MOVE"});
//   EXPECT_SEQ(app.commands, {7, 7});
#pragma once

#include <gtest/gtest.h>

#include <concepts>
#include <cstddef>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace test_support {

// A recorded sequence of names: messages, handler calls, events.
using Names = std::vector<std::string>;

// One expected step: a value, or a name as written or marked with optional().
template <class T>
struct Step {
    Step(T v) : value(std::move(v)) {}
    Step(const char* name) requires std::same_as<T, std::string> : value(name) {}
    T value;
    bool isOptional = false;
};

inline Step<std::string> optional(std::string name) {
    Step<std::string> step(std::move(name));
    step.isOptional = true;
    return step;
}

// An expected name sequence: a braced list of steps, or recorded names.
struct Sequence {
    Sequence(std::initializer_list<Step<std::string>> list) : steps(list) {}
    Sequence(const Names& names) : steps(names.begin(), names.end()) {}
    std::vector<Step<std::string>> steps;
};

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

template <class T>
std::string show(const T& value) {
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
        out += (i ? ", " : "") + show(static_cast<const T&>(values[i]));
    return "{" + out + "}";
}

template <class T>
std::string showAll(const std::vector<Step<T>>& steps) {
    std::string out;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::string value = show(steps[i].value);
        out += (i ? ", " : "") + (steps[i].isOptional ? "optional(" + value + ")" : value);
    }
    return "{" + out + "}";
}

// The positions in `expected` reachable from `from` by skipping optional steps.
template <class T>
std::set<std::size_t> closure(const std::vector<Step<T>>& expected, std::set<std::size_t> from) {
    std::set<std::size_t> out;
    for (std::size_t j : from) {
        out.insert(j);
        while (j < expected.size() && expected[j].isOptional)
            out.insert(++j);
    }
    return out;
}

}  // namespace detail

// Succeeds when `actual` is `expected` with each optional step there once or not at all.
template <class T>
::testing::AssertionResult matchSteps(const std::vector<T>& actual,
                                      const std::vector<Step<T>>& expected) {
    using detail::show;
    std::set<std::size_t> at = detail::closure(expected, {0});
    // Where the two part: what came, and what could have come instead.
    const auto differ = [&](std::size_t index, const std::string& got) {
        std::set<std::string> seen;
        std::string wanted;
        for (std::size_t j : at) {
            const std::string what = j < expected.size() ? show(expected[j].value) : "(end)";
            if (seen.insert(what).second) wanted += (wanted.empty() ? "" : " or ") + what;
        }
        return ::testing::AssertionFailure()
               << "sequences differ at step " << index << ": got " << got << ", expected " << wanted
               << "\n  actual:   " << detail::showAll(actual)
               << "\n  expected: " << detail::showAll(expected);
    };
    for (std::size_t i = 0; i < actual.size(); ++i) {
        std::set<std::size_t> next;
        for (std::size_t j : at) {
            if (j < expected.size() && expected[j].value == actual[i]) next.insert(j + 1);
        }
        if (next.empty()) return differ(i, show(static_cast<const T&>(actual[i])));
        at = detail::closure(expected, std::move(next));
    }
    if (!at.contains(expected.size())) return differ(actual.size(), "(end)");
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult matchSequence(const Names& actual, const Sequence& expected) {
    return matchSteps(actual, expected.steps);
}

// Any other values: step for step, none optional.
template <class T>
requires(!std::same_as<T, std::string>)::testing::AssertionResult
    matchSequence(const std::vector<T>& actual,
                  const std::type_identity_t<std::vector<T>>& expected) {
    std::vector<Step<T>> steps;
    for (const T& value : expected)
        steps.push_back({value});
    return matchSteps(actual, steps);
}

}  // namespace test_support

#define EXPECT_SEQ(actual, ...) EXPECT_TRUE(::test_support::matchSequence(actual, __VA_ARGS__))
#define ASSERT_SEQ(actual, ...) ASSERT_TRUE(::test_support::matchSequence(actual, __VA_ARGS__))
