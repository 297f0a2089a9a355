#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <thread>

#include <tessel/foundation/KLFilename.h>
#include <tessel/foundation/KLFlags.h>
#include <tessel/foundation/KLIndexOutOfBoundsException.h>
#include <tessel/foundation/KLIntegerArray.h>
#include <tessel/foundation/KLValue.h>

#include "kelp_checks.h"

using namespace kelp;

// Malformed UTF-8 (cut off, overlong, a surrogate, past U+10FFFF) becomes U+FFFD.
TEST(KLString, RoundTripsUtf8AndReplacesMalformedBytes) {
    const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E";  // a, é, €, a 4-byte clef
    EXPECT_EQ(KLString(text), (std::wstring{L'a', 0xE9, 0x20AC, 0x1D11E}).c_str());
    EXPECT_EQ(KLString(text).toUtf8(), text);
    for (const char* in : {"\xE2\x82", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_EQ(KLString(in), L"\uFFFD") << in;
    EXPECT_EQ(KLString("\xE2\x82x"), L"\uFFFDx");  // the byte after the cut is kept
    EXPECT_EQ(KLString(std::wstring(1, static_cast<wchar_t>(0xD800))).toUtf8(), "\xEF\xBF\xBD");
    KLString t("ab");
    t += "\xC3\xA9";
    t += t;
    EXPECT_EQ(t, L"ab\u00E9ab\u00E9");
    EXPECT_EQ(KLString::valueOf(INT_MIN), "-2147483648");
}

TEST(KLValue, CopiesAcrossKindsAndConvertsLeniently) {
    EXPECT_EQ(KLValue(-2.75).toInt(), -2);
    EXPECT_EQ(KLValue(1e30).toInt(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(KLValue(std::nan("")).toInt(), 0);
    EXPECT_EQ(KLValue(" 42abc").toInt(), 42);
    KLValue v("text");
    const KLValue text = v;
    v = 5;
    EXPECT_EQ(v.toString(), "5");
    EXPECT_EQ(text.toString(), "text");
}

TEST(KLIntegerArrayAndFlags, CheckBoundsAndHoldFlagsBeyond64) {
    KLIntegerArray a(3);
    KLIntegerArray b = a;
    b[2] = 1;
    EXPECT_EQ(a.get(2), 0);
    EXPECT_THROW_AT(a[3], KLIndexOutOfBoundsException, "KLIntegerArray.h", 34);
    EXPECT_THROW_AT(a.get(-1), KLIndexOutOfBoundsException, "KLIntegerArray.h", 34);

    KLFlags f(INT_MIN, false);  // only flag 31: the sign must not spread
    f.setFlag(200);
    f.setFlag(-1);
    EXPECT_TRUE(f.isFlagSet(31) && f.isFlagSet(200));
    EXPECT_FALSE(f.isFlagSet(32) || f.isFlagSet(199) || f.isFlagSet(-1));
    KLFlags others(0, true);
    others.clearFlag(130);
    EXPECT_TRUE(others.isFlagSet(32) && others.isFlagSet(131) && others.isFlagSet(100000));
    EXPECT_FALSE(others.isFlagSet(31) || others.isFlagSet(130));
}

// Exactly one separator in every case, empty sides included.
TEST(KLFilename, ConcatPathsJoinsWithExactlyOneSeparatorInEveryCase) {
    struct Case {
        const char *a, *b;
        int style;
        const char* joined;
    };
    constexpr int kNative = KLFilename::Native, kWindows = KLFilename::Windows;
    const Case cases[] = {
        {"images//", "//ok.png", kNative, "images/ok.png"},
        {"a", "", kNative, "a/"},  // an empty side is joined like any other
        {"", "b", kNative, "/b"},
        {"", "", kNative, "/"},
        {"//", "//", kNative, "/"},                   // nothing but separators on a side
        {"a\\", "b", KLFilename::Posix, "a\\/b"},     // only '/' separates
        {"C:\\dir/", "\\x", kWindows, "C:\\dir\\x"},  // '\\' joins, '/' separates too
        {"C:\\dir", "x", KLFilename::Detect, "C:\\dir\\x"},  // the first path's separators,
        {"dir", "x", KLFilename::Detect, "dir/x"},            // else this platform's
    };
    for (const Case& c : cases)
        EXPECT_EQ(KLFilename::concatPaths(c.a, c.b, c.style), c.joined)
            << '"' << c.a << "\" + \"" << c.b << "\" style " << c.style;
}

// An exception describes its site; the status it records is its own thread's.
TEST(KLException, DescribesItsSiteAndCopies) {
    auto original = std::make_unique<KLException>("KLMemoryException", "KLList.h", 187,
                                                  KL_STATUS_OUT_OF_MEMORY, "node pool");
    const KLException copy = *original;
    original.reset();
    EXPECT_STREQ(copy.what(),
                 "KLMemoryException at KLList.h:187, status 1 (out of memory): node pool");
    kl_status_setLastError(KL_STATUS_IO_ERROR);
    std::thread([] {
        kl_status_setLastError(KL_STATUS_TIMEOUT);
        EXPECT_EQ(KLIndexOutOfBoundsException("f.h", 1).getStatus(), KL_STATUS_TIMEOUT);
    }).join();
    EXPECT_EQ(KLIndexOutOfBoundsException("f.h", 1).getStatus(), KL_STATUS_IO_ERROR);
    kelp_test::takeStatus();
}
