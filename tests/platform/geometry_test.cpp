#include <gtest/gtest.h>

#include <climits>

#include <tessel/platform/afx_geometry.h>
#include <tessel/platform/afx_string.h>

namespace {

TEST(Geometry, RectangleHelpers) {
    CRect r(10, 20, 2, 5);
    EXPECT_TRUE(r.IsRectEmpty());
    r.NormalizeRect();
    EXPECT_EQ(r, CRect(2, 5, 10, 20));
    EXPECT_EQ(r.Width(), 8);
    EXPECT_FALSE(r.IsRectEmpty());

    RECT out{1, 2, 3, 4};
    RECT a{0, 0, 10, 10}, touching{10, 0, 20, 10};
    EXPECT_FALSE(IntersectRect(&out, &a, &touching));
    EXPECT_EQ(CRect(out), CRect(0, 0, 0, 0));
    RECT b{5, -5, 15, 5};
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    EXPECT_EQ(CRect(out), CRect(5, 0, 10, 5));

    // An empty operand must not stretch the union towards its corner.
    RECT empty{100, 100, 100, 200};
    EXPECT_TRUE(UnionRect(&out, &a, &empty));
    EXPECT_EQ(CRect(out), CRect(a));
    EXPECT_TRUE(UnionRect(&out, &empty, &b));
    EXPECT_EQ(CRect(out), CRect(b));
    EXPECT_FALSE(UnionRect(&out, &empty, &empty));
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_TRUE(UnionRect(&out, &a, &b));
    EXPECT_EQ(CRect(out), CRect(0, -5, 15, 10));

    // Only a full-width or full-height bite leaves a rectangle.
    RECT rightHalf{5, -1, 12, 11};
    EXPECT_TRUE(SubtractRect(&out, &a, &rightHalf));
    EXPECT_EQ(CRect(out), CRect(0, 0, 5, 10));
    RECT topStrip{-1, -1, 11, 3};
    EXPECT_TRUE(SubtractRect(&out, &a, &topStrip));
    EXPECT_EQ(CRect(out), CRect(0, 3, 10, 10));
    RECT hole{2, 2, 4, 4};
    EXPECT_TRUE(SubtractRect(&out, &a, &hole));
    EXPECT_EQ(CRect(out), CRect(a));
    EXPECT_FALSE(SubtractRect(&out, &a, &a));

    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_TRUE(PtInRect(&a, POINT{9, 9}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
    EXPECT_FALSE(PtInRect(&a, POINT{5, 10}));
    EXPECT_FALSE(PtInRect(&a, POINT{-1, 5}));

    EXPECT_FALSE(IntersectRect(nullptr, &a, &b));
    EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
}

TEST(Geometry, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(8, 1, 3), 3);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(1, 2, 0), -1);
    // The product needs 64 bits.
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
}

TEST(Geometry, StringClampingAndSearch) {
    CString s(L"Hello, world");
    EXPECT_EQ(s.Left(5), L"Hello");
    EXPECT_EQ(s.Left(100), L"Hello, world");
    EXPECT_EQ(s.Left(-3), L"");
    EXPECT_EQ(s.Right(5), L"world");
    EXPECT_EQ(s.Right(100), L"Hello, world");
    EXPECT_EQ(s.Mid(7), L"world");
    EXPECT_EQ(s.Mid(7, 100), L"world");
    EXPECT_EQ(s.Mid(-2, 3), L"Hel");
    EXPECT_EQ(s.Mid(50), L"");
    EXPECT_EQ(s.Mid(3, -1), L"");

    EXPECT_EQ(s.Find(L'o'), 4);
    EXPECT_EQ(s.Find(L'o', 5), 8);
    EXPECT_EQ(s.Find(L"world"), 7);
    EXPECT_EQ(s.Find(L"xyz"), -1);
    EXPECT_EQ(s.Find(L'o', 100), -1);

    CString r(L"a-b-c");
    EXPECT_EQ(r.Replace(L"-", L"--"), 2);
    EXPECT_EQ(r, L"a--b--c");
    EXPECT_EQ(r.Replace(L'z', L'y'), 0);
    EXPECT_EQ(r.Replace(L"--", L""), 2);
    EXPECT_EQ(r, L"abc");

    CString f;
    f.Format(L"%d-%ls-%04.1f", 42, L"x", 2.25);
    EXPECT_EQ(f, L"42-x-02.2");
    f.AppendFormat(L"%c", L'!');
    EXPECT_EQ(f, L"42-x-02.2!");
    f.Format(L"%ls", CString(L'z', 5000).GetString());
    EXPECT_EQ(f.GetLength(), 5000);

    CString u("gr\xC3\xBC\xC3\x9F \xE2\x82\xAC");
    EXPECT_EQ(u, L"gr\u00FC\u00DF \u20AC");
    EXPECT_EQ(u.GetLength(), 6);
    EXPECT_EQ(u.toUtf8(), "gr\xC3\xBC\xC3\x9F \xE2\x82\xAC");
    EXPECT_EQ(CString(static_cast<const char*>(nullptr)), L"");
}

}  // namespace
