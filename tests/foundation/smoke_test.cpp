#include <gtest/gtest.h>
#include <tessel/tessel.h>
using namespace kelp;
TEST(Smoke, Compiles) {
    KLList<int*> l; int x; l.add(&x, 1);
    KLIterator<int*> it; KLCollection::initIterator(it, l.iterator(false));
    EXPECT_TRUE(it.hasNext()); EXPECT_EQ(it.next(), &x); it.remove(); EXPECT_EQ(l.size(), 0u);
    KLVector<int> v; v.insert(3, 0); EXPECT_EQ(v.get(0), 3);
    KLIterator<int> vi; KLCollection::initIterator(vi, v.iterator(false)); EXPECT_EQ(vi.next(), 3);
    KLArray<std::string> a; a[3] = "x"; EXPECT_EQ(a.size(), 4u);
}
