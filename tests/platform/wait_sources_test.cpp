// Descriptors the message loop watches: a pipe made readable by another
// thread ends a wait without limit, and callbacks keep their contract.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <thread>

#include <tessel/platform/testing.h>
#include <tessel/platform/wait_sources.h>
#include <tessel/platform/win_user.h>

namespace {

constexpr UINT kArrived = WM_APP + 7;

// A pipe whose ends close with the test.
struct Pipe {
    Pipe() { EXPECT_EQ(pipe(ends.data()), 0); }
    ~Pipe() {
        for (int fd : ends)
            if (fd >= 0) close(fd);
    }
    void write(char c) const { EXPECT_EQ(::write(ends[1], &c, 1), 1); }
    char read() const {
        char c = 0;
        EXPECT_EQ(::read(ends[0], &c, 1), 1);
        return c;
    }
    void closeWriter() { close(ends[1]), ends[1] = -1; }
    int reader() const { return ends[0]; }
    std::array<int, 2> ends{-1, -1};
};

class WaitSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();  // GetMessage waits without limit
        tessel::testing::pump();
    }
};

TEST_F(WaitSourceTest, AReadablePipeWakesAGetMessageThatWaitsWithoutLimit) {
    Pipe p;
    const tessel::WaitSourceId id = tessel::watchDescriptor(p.reader(), POLLIN, [&](short revents) {
        EXPECT_TRUE(revents & POLLIN);
        PostMessageW(nullptr, kArrived, static_cast<WPARAM>(p.read()), 0);
    });
    ASSERT_NE(id, 0u);
    std::thread writer([&] { p.write('x'); });
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) && msg.message != kArrived)
        DispatchMessageW(&msg);
    writer.join();
    EXPECT_EQ(msg.message, kArrived);
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('x'));
    EXPECT_TRUE(tessel::unwatchDescriptor(id));
    EXPECT_FALSE(tessel::unwatchDescriptor(id));
}

TEST_F(WaitSourceTest, CallbacksArePolledByPumpAndMayChangeTheWatches) {
    EXPECT_EQ(tessel::watchDescriptor(-1, POLLIN, [](short) {}), 0u);
    EXPECT_EQ(tessel::watchDescriptor(0, 0, [](short) {}), 0u);
    EXPECT_FALSE(tessel::changeWatchedEvents(0, POLLIN));

    // Unread data keeps the pipe ready: a callback that unwatches itself still ends its calls.
    Pipe p;
    int calls = 0;
    tessel::WaitSourceId self = 0;
    self = tessel::watchDescriptor(p.reader(), POLLIN, [&](short) {
        ++calls;
        tessel::testing::pump();  // never re-entered, though the pipe stays ready
        EXPECT_TRUE(tessel::unwatchDescriptor(self));
    });
    p.write('a');
    tessel::testing::pump();
    tessel::testing::pump();
    EXPECT_EQ(calls, 1);

    // Paused, the watch hears nothing; watching again, it hears the rest, then the hang-up.
    Pipe q;
    short last = 0;
    int heard = 0;
    tessel::WaitSourceId added = 0;
    const tessel::WaitSourceId id = tessel::watchDescriptor(q.reader(), POLLIN, [&](short revents) {
        last = revents;
        ++heard;
        if (revents & POLLIN) q.read();
        // A callback may watch another descriptor; it is polled from the next round.
        if (!added) added = tessel::watchDescriptor(p.reader(), POLLIN, [&](short) { p.read(); });
    });
    EXPECT_TRUE(tessel::changeWatchedEvents(id, 0));
    q.write('b');
    tessel::testing::pump();
    EXPECT_EQ(heard, 0);
    EXPECT_TRUE(tessel::changeWatchedEvents(id, POLLIN));
    tessel::testing::pump();
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(last, POLLIN);
    q.closeWriter();
    tessel::testing::pump();
    EXPECT_TRUE(last & POLLHUP);
    EXPECT_TRUE(tessel::unwatchDescriptor(id));
    tessel::testing::pump();  // the added watch drains the first pipe
    pollfd drained{p.reader(), POLLIN, 0};
    EXPECT_EQ(poll(&drained, 1, 0), 0);
    EXPECT_TRUE(tessel::unwatchDescriptor(added));
}

}  // namespace
