// A component on its own: repaint requests, a missing owner, and the
// process-wide registry that enableAllWithID walks (also across threads).
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <tessel/foundation/KLConcurrentModificationException.h>

#include "components_test.h"

namespace {

using namespace components_test;

// With repaint the whole owner is invalidated, even when the bit is already
// as asked; without repaint nothing. Without an owner window nothing crashes.
TEST_F(HostTest, StateChangesRepaintTheWholeOwnerOnlyWhenAsked) {
    TestHost host;
    makeHost(host, 10, 10, 120, 80);
    auto* c = new YBComponent(1, &host);
    host.addComponent(c, true, false);
    const std::function<void(bool)> steps[] = {
        [&](bool r) { c->enable(true, r); }, [&](bool r) { c->disable(true, r); },
        [&](bool r) { c->select(true, r); }, [&](bool r) { c->hide(r); }};
    for (const auto& step : steps)
        for (bool repaint : {false, true}) {
            pump();
            step(repaint);
            EXPECT_EQ(updateRect(host), repaint ? CRect(0, 0, 120, 80) : CRect(0, 0, 0, 0));
        }
    CWnd windowless;  // an owner object whose window was never made
    for (CWnd* owner : {static_cast<CWnd*>(nullptr), &windowless}) {
        YBButton b(3, owner);
        b.setPositionAndSize(0, 0, 5, 5, true);
        b.onMouseEnter();
        b.onLeftMouseButton(1, CPoint(1, 1));
        b.onLeftMouseButton(0, CPoint(1, 1));  // a command with nobody to send it to
        YBComponent::disableAllWithID(3, true);
        EXPECT_TRUE(b.isDisabled());
    }
}

// Across a registry much longer than one run of the walk every match
// changes and exactly the owners of matches repaint, once; components whose
// owner is gone are reached without touching it, one added before its host
// had a window repaints that window once laid out, and a copy is not listed.
TEST_F(HostTest, EveryMatchAcrossALongRegistryChangesAndOnlyLiveOwnersRepaint) {
    TestHost first, untouched, later;
    makeHost(first, 0, 0, 100, 100);
    makeHost(untouched, 120, 0, 100, 100);
    auto* early = new Probe(77, &later, {20, 20});
    later.addComponent(early, false, false);
    makeHost(later, 240, 0, 100, 100);
    auto gone = std::make_unique<TestHost>();
    makeHost(*gone, 0, 120, 100, 100);
    std::vector<std::unique_ptr<YBButton>> all;
    YBComponentWnd* owners[] = {&first, &untouched, gone.get()};
    for (int i = 0; i < 2000; ++i)
        all.push_back(
            std::make_unique<YBButton>(i % 3 == 1 ? 79 : (i % 7 == 3 ? 77 : 78), owners[i % 3]));
    gone.reset();
    const YBButton copy(*all[3]);
    pump();

    YBComponent::disableAllWithID(77, true);
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i]->isDisabled(), i % 7 == 3 && i % 3 != 1) << "component " << i;
    EXPECT_TRUE(early->isDisabled());
    EXPECT_FALSE(copy.isDisabled());
    EXPECT_EQ(updateRect(first), CRect(0, 0, 100, 100));
    EXPECT_EQ(updateRect(later), CRect(0, 0, 100, 100));
    EXPECT_TRUE(updateRect(untouched).IsRectEmpty());
    const int paintsBefore = first.draws;
    pump();
    EXPECT_EQ(first.draws, paintsBefore + 1);
    YBComponent::enableAllWithID(77, true, true);
    EXPECT_TRUE(all[3]->isEnabled());
    pump();
    YBComponent::enableAllWithID(77, false, false);  // disables, and repaints nothing
    EXPECT_TRUE(all[3]->isDisabled() && all[1403]->isDisabled());
    EXPECT_FALSE(all[4]->isDisabled());
    EXPECT_TRUE(updateRect(first).IsRectEmpty());
}

// Components come and go on several threads while another walks the
// registry: a walk may end with KLConcurrentModificationException, and
// nothing else may happen.
TEST(ComponentTest, TheRegistryIsWalkedWhileOtherThreadsChangeIt) {
    const auto before = YBComponent::m_componentList.size();
    std::atomic<bool> makersDone{false}, walking{false};
    std::atomic<int> otherFailures{0};
    std::thread walker([&] {
        for (int walk = 0; !makersDone; ++walk, walking = true) {
            try {
                YBComponent::disableAllWithID(9, walk % 2 == 0);
                YBComponent::enableAllWithID(9, walk % 3 == 0, true);
            } catch (const kelp::KLConcurrentModificationException&) {
            } catch (...) {
                ++otherFailures;
            }
        }
    });
    std::vector<std::jthread> makers;
    for (int t = 0; t < 3; ++t)
        makers.emplace_back([&, t] {
            while (!walking)
                std::this_thread::yield();
            std::vector<std::unique_ptr<YBButton>> alive;
            for (int i = 0; i < 5000; ++i) {
                alive.push_back(std::make_unique<YBButton>(i % 2 ? 9 : 10 + t, nullptr));
                if (alive.size() > 4) alive.erase(alive.begin() + (i % 3));
            }
        });
    makers.clear();
    makersDone = true;
    walker.join();
    EXPECT_EQ(otherFailures.load(), 0);
    EXPECT_EQ(YBComponent::m_componentList.size(), before);
}

}  // namespace
