// A component on its own: its state bits, geometry and repaint requests, and
// the process-wide registry that enableAllWithID walks (also across threads).
#include <gtest/gtest.h>

#include <atomic>
#include <exception>
#include <thread>
#include <vector>

#include <tessel/foundation/KLConcurrentModificationException.h>
#include <tessel/foundation/KLIterator.h>

#include "components_test.h"

namespace {

using namespace components_test;
using tessel::testing::pump;

bool registered(const YBComponent* component) {
    kelp::KLIterator<YBComponent*> it;
    kelp::KLCollection::initIterator(it, YBComponent::m_componentList.iterator(false));
    while (it.hasNext())
        if (it.next() == component) return true;
    return false;
}

std::uint64_t registrySize() {
    return YBComponent::m_componentList.size();
}

TEST(ComponentTest, SizeAndPositionMakeTheRectangleButTheInitialSizeOnlyTheSize) {
    YBComponent c(1, nullptr);
    c.setSize(50, 20, false);
    c.setPosition(10, 5, false);
    EXPECT_EQ(c.rect(), CRect(10, 5, 60, 25));
    c.setInitialSize(70, 30);
    EXPECT_EQ(c.size(), CSize(70, 30));
    EXPECT_EQ(c.rect(), CRect(10, 5, 60, 25));
    c.setPosition(1, 2, false);  // the next placement takes the new size
    EXPECT_EQ(c.rect(), CRect(1, 2, 71, 32));
}

// Every state change with repaint invalidates the owner's whole client area,
// even when the bit is already as asked; without repaint nothing.
TEST_F(HostTest, StateChangesRepaintTheWholeOwnerOnlyWhenAsked) {
    TestHost host;
    makeHost(host, 10, 10, 120, 80);
    auto* c = new YBComponent(1, &host);
    c->setInitialSize(20, 20);
    host.addComponent(c, true, false);
    pump();

    struct Step {
        const char* name;
        std::function<void(bool repaint)> apply;
    };
    const std::vector<Step> steps = {
        {"enable(true)", [&](bool r) { c->enable(true, r); }},
        {"disable(false)", [&](bool r) { c->disable(false, r); }},
        {"disable(true)", [&](bool r) { c->disable(true, r); }},
        {"enable(false)", [&](bool r) { c->enable(false, r); }},
        {"select(true)", [&](bool r) { c->select(true, r); }},
        {"select(false)", [&](bool r) { c->select(false, r); }},
        {"show", [&](bool r) { c->show(r); }},
        {"hide", [&](bool r) { c->hide(r); }},
        {"hide again", [&](bool r) { c->hide(r); }},
    };
    for (const Step& step : steps) {
        for (bool repaint : {false, true}) {
            pump();
            const int draws = host.draws;
            step.apply(repaint);
            EXPECT_EQ(updateRect(host), repaint ? CRect(0, 0, 120, 80) : CRect(0, 0, 0, 0))
                << step.name << " repaint=" << repaint;
            pump();
            EXPECT_EQ(host.draws, draws + (repaint ? 1 : 0)) << step.name;
        }
    }
    // The last two steps applied twice over: disabled, not selected, hidden.
    EXPECT_TRUE(c->isDisabled());
    EXPECT_FALSE(c->isSelected() || c->isVisible());
}

TEST(ComponentTest, WithoutAnOwnerWindowNothingCrashes) {
    CWnd windowless;  // an owner object whose window was never made
    for (CWnd* owner : {static_cast<CWnd*>(nullptr), &windowless}) {
        YBButton b(3, owner);
        b.setSize(10, 10, true);
        b.setPosition(1, 1, true);
        b.setPositionAndSize(0, 0, 5, 5, true);
        b.onMouseEnter();
        b.onLeftMouseButton(1, CPoint(1, 1));
        b.onLeftMouseButton(0, CPoint(1, 1));  // a command with nobody to send it to
        b.select(true, true);
        b.hide(true);
        b.show(true);
        b.invalidate();
        YBComponent::disableAllWithID(3, true);
        EXPECT_TRUE(b.isDisabled());
        EXPECT_FALSE(b.isPressed());
    }
}

TEST_F(HostTest, APlainComponentPaintsItsRectangleWhite) {
    TestHost host(RGB(0, 0, 128));
    makeHost(host, 0, 0, 200, 100);
    auto* c = new YBComponent(1, &host);
    c->setInitialSize(40, 20);
    host.addComponent(c, true, true);
    pump();
    EXPECT_EQ(pixel(host, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(pixel(host, 39, 19), RGB(255, 255, 255));
    EXPECT_EQ(pixel(host, 40, 5), RGB(0, 0, 128));
    EXPECT_EQ(pixel(host, 5, 20), RGB(0, 0, 128));
}

// The walk reaches components whose owner object is gone (here components
// the application kept beside a host it deleted) and must not touch that
// owner; a component made before its host's window repaints that window once
// the host has laid it out.
TEST_F(HostTest, TheRegistryRepaintsThroughLiveOwnerWindowsOnly) {
    auto doomed = std::make_unique<TestHost>();
    makeHost(*doomed, 0, 0, 100, 100);
    YBButton kept(44, doomed.get());
    YBButton placed(44, doomed.get());
    placed.setPosition(5, 5, true);
    TestHost later;
    auto* early = new Probe(44, &later, {20, 20});
    later.addComponent(early, false, false);
    makeHost(later, 200, 0, 100, 100);  // its first layout places `early`
    doomed.reset();
    pump();

    YBComponent::disableAllWithID(44, true);
    EXPECT_TRUE(kept.isDisabled() && placed.isDisabled() && early->isDisabled());
    EXPECT_EQ(updateRect(later), CRect(0, 0, 100, 100));
    pump();
    YBComponent::enableAllWithID(44, true, true);
    EXPECT_TRUE(kept.isEnabled() && placed.isEnabled() && early->isEnabled());
    EXPECT_EQ(updateRect(later), CRect(0, 0, 100, 100));
}

TEST(ComponentTest, ACopyIsNotRegisteredAndDestroyingItLeavesTheOriginal) {
    YBButton original(41, nullptr);
    {
        YBButton copy(original);
        EXPECT_FALSE(registered(&copy));
        YBComponent::disableAllWithID(41, true);
        EXPECT_TRUE(original.isDisabled());
        EXPECT_FALSE(copy.isDisabled());
        copy.disable(true, false);  // now the copy looks the same: the copy must stay out
    }
    EXPECT_TRUE(registered(&original));
    YBComponent::enableAllWithID(41, true, false);
    EXPECT_TRUE(original.isEnabled());
}

// Components come and go on several threads while another walks the
// registry: a walk may end with KLConcurrentModificationException, and
// nothing else may happen.
TEST(ComponentTest, TheRegistryIsWalkedWhileOtherThreadsChangeIt) {
    const auto before = registrySize();
    constexpr int kMakers = 3, kRounds = 5000;
    std::atomic<bool> makersDone{false}, walking{false};
    std::atomic<int> otherFailures{0};
    int interrupted = 0, walks = 0;

    std::thread walker([&] {
        while (!makersDone.load()) {
            try {
                YBComponent::disableAllWithID(9, walks % 2 == 0);
                YBComponent::enableAllWithID(9, walks % 3 == 0, true);
            } catch (const kelp::KLConcurrentModificationException&) {
                ++interrupted;
            } catch (...) {
                ++otherFailures;
            }
            ++walks;
            walking = true;
        }
    });
    std::vector<std::thread> makers;
    for (int t = 0; t < kMakers; ++t) {
        makers.emplace_back([&, t] {
            while (!walking.load())
                std::this_thread::yield();
            try {
                std::vector<std::unique_ptr<YBButton>> alive;
                for (int i = 0; i < kRounds; ++i) {
                    alive.push_back(std::make_unique<YBButton>(i % 2 ? 9 : 10 + t, nullptr));
                    if (alive.size() > 4) alive.erase(alive.begin() + (i % 3));
                }
            } catch (...) {
                ++otherFailures;
            }
        });
    }
    for (std::thread& t : makers)
        t.join();
    makersDone = true;
    walker.join();

    EXPECT_EQ(otherFailures.load(), 0);
    EXPECT_GT(walks, 0);
    EXPECT_EQ(registrySize(), before);
    RecordProperty("interruptedWalks", interrupted);
}

}  // namespace
