#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <thread>

#include <tessel/foundation/KLFileInfo.h>
#include <tessel/foundation/KLFilename.h>
#include <tessel/foundation/KLFlags.h>
#include <tessel/foundation/KLIndexOutOfBoundsException.h>
#include <tessel/foundation/KLIntegerArray.h>
#include <tessel/foundation/KLValue.h>
#include <tessel/platform/afx_string.h>

#include "kelp_checks.h"

using namespace kelp;

TEST(KLString, RoundTripsUtf8AndReplacesMalformedBytes) {
    const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E";  // a, é, €, a 4-byte clef
    EXPECT_EQ(KLString(text), (std::wstring{L'a', 0xE9, 0x20AC, 0x1D11E}).c_str());
    EXPECT_EQ(KLString(text).toUtf8(), text);
    const std::pair<const char*, const wchar_t*> malformed[] = {
        {"\xE2\x82x", L"\uFFFDx"},        // cut off before a byte that is kept
        {"\xC0\x80", L"\uFFFD"},          // overlong
        {"\xED\xA0\x80", L"\uFFFD"},      // surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD"},  // beyond U+10FFFF
    };
    for (const auto& [in, out] : malformed)
        EXPECT_EQ(KLString(in), out) << in;
    EXPECT_EQ(KLString(std::wstring(1, static_cast<wchar_t>(0xD800))).toUtf8(), "\xEF\xBF\xBD");

    KLString t("ab");
    t += KLString("c");
    t += "\xC3\xA9";
    t += t;
    EXPECT_EQ(t, L"abc\u00E9abc\u00E9");
    CString assigned(L"old");
    assigned = KLString("\xC3\xA9");  // KLStrings go wherever CStrings are wanted
    EXPECT_EQ(assigned.GetLength(), 1);
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
    v = text;
    EXPECT_EQ(v, text);
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

TEST(KLFileInfo, TellsFilesFromDirectoriesAndMissingPaths) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tessel_fileinfo_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "\xC3\xA9t\xC3\xA9";
    std::ofstream(file) << "x";
    EXPECT_TRUE(KLFileInfo::isFile(file.c_str()));
    EXPECT_FALSE(KLFileInfo::isFile(dir.c_str()));
    EXPECT_FALSE(KLFileInfo::isFile((dir / "missing").c_str()));
    fs::remove_all(dir);
}

// `a` and `b` joined with one separator in path style `style`, in every
// case, empty sides included.
TEST(KLFilename, ConcatPathsJoinsWithExactlyOneSeparatorInEveryCase) {
    struct Case {
        const char* a;
        const char* b;
        int style;
        const char* joined;
    };
    constexpr int kNative = KLFilename::Native, kWindows = KLFilename::Windows;
    const Case cases[] = {
        {"images//", "//ok.png", kNative, "images/ok.png"},
        {"a/b", "c/d", kNative, "a/b/c/d"},
        {"a", "", kNative, "a/"},  // an empty side is joined like any other
        {"", "b", kNative, "/b"},
        {"", "", kNative, "/"},
        {"/", "/etc", kNative, "/etc"},  // nothing but separators on a side
        {"//", "//", kNative, "/"},
        {"a\\", "b", KLFilename::Posix, "a\\/b"},  // only '/' separates
        {"C:\\dir/", "\\x", kWindows, "C:\\dir\\x"},  // '\\' joins, '/' separates too
        {"", "", kWindows, "\\"},
        {"C:\\dir", "x", KLFilename::Detect, "C:\\dir\\x"},  // the first path's separators,
        {"dir", "x", KLFilename::Detect, "dir/x"},       // else this platform's
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KLFilename::concatPaths(c.a, c.b, c.style), c.joined)
            << "concatPaths(\"" << c.a << "\", \"" << c.b << "\", " << c.style << ")";
    }
}

TEST(KLException, DescribesItsSiteAndCopies) {
    auto original = std::make_unique<KLException>("KLMemoryException", "KLList.h", 187,
                                                  KL_STATUS_OUT_OF_MEMORY, "node pool");
    const KLException copy = *original;
    original.reset();
    EXPECT_STREQ(copy.what(),
                 "KLMemoryException at KLList.h:187, status 1 (out of memory): node pool");

    kl_status_setLastError(KL_STATUS_IO_ERROR);
    std::thread([] {
        EXPECT_EQ(kl_status_getLastError(), KL_STATUS_OK);  // each thread has its own
        kl_status_setLastError(KL_STATUS_TIMEOUT);
        EXPECT_EQ(KLIndexOutOfBoundsException("f.h", 1).getStatus(), KL_STATUS_TIMEOUT);
    }).join();
    EXPECT_EQ(KLIndexOutOfBoundsException("f.h", 1).getStatus(), KL_STATUS_IO_ERROR);
    kelp_test::takeStatus();
}
