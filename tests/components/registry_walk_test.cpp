// enableAllWithID and disableAllWithID over a registry much longer than one
// run of the walk: every match changes, wherever it stands, and exactly the
// owners of matches are repainted, once each.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components_test.h"

namespace {

using namespace components_test;
using tessel::testing::pump;

TEST_F(HostTest, EveryMatchAcrossALongRegistryChangesAndOnlyItsOwnersRepaint) {
    TestHost first, second, untouched;
    makeHost(first, 0, 0, 100, 100);
    makeHost(second, 120, 0, 100, 100);
    makeHost(untouched, 240, 0, 100, 100);
    auto gone = std::make_unique<TestHost>();
    makeHost(*gone, 0, 120, 100, 100);
    std::vector<std::unique_ptr<YBButton>> all;
    YBComponentWnd* owners[] = {&first, &second, &untouched, gone.get()};
    for (int i = 0; i < 2000; ++i) {
        const unsigned id = i % 7 == 3 ? 77 : 78;
        YBComponentWnd* owner = owners[i % 4];
        all.push_back(std::make_unique<YBButton>(owner == &untouched ? 79 : id, owner));
    }
    gone.reset();  // its components stay registered; their owner window is gone
    pump();

    YBComponent::disableAllWithID(77, true);
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i]->isDisabled(), i % 7 == 3 && i % 4 != 2) << "component " << i;
    EXPECT_EQ(updateRect(first), CRect(0, 0, 100, 100));
    EXPECT_EQ(updateRect(second), CRect(0, 0, 100, 100));
    EXPECT_TRUE(updateRect(untouched).IsRectEmpty());
    const int paintsBefore = first.draws;
    pump();
    EXPECT_EQ(first.draws, paintsBefore + 1);

    YBComponent::enableAllWithID(77, true, true);
    for (const auto& button : all)
        EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(updateRect(first), CRect(0, 0, 100, 100));
    EXPECT_TRUE(updateRect(untouched).IsRectEmpty());
    pump();

    YBComponent::enableAllWithID(77, false, false);  // disables, and repaints nothing
    EXPECT_TRUE(all[3]->isDisabled() && all[1403]->isDisabled());
    EXPECT_FALSE(all[4]->isDisabled());
    EXPECT_TRUE(updateRect(first).IsRectEmpty());
    EXPECT_TRUE(updateRect(second).IsRectEmpty());
}

}  // namespace
