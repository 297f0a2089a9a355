// A lock seen from threads that hold nothing, and exceptions by their throw site.
#pragma once

#include <gtest/gtest.h>

#include <thread>

#include <tessel/foundation/KLException.h>
#include <tessel/foundation/KLObject.h>
#include <tessel/foundation/kl_status.h>

namespace kelp_test {

// False while a writer holds the object or, writers going first, waits for it.
inline bool newReaderGetsIn(const kelp::KLObject& object) {
    bool in = false;
    std::thread([&] { in = object.lockForReading(0) && object.unlock(); }).join();
    return in;
}

inline bool writerGetsIn(const kelp::KLObject& object) {
    bool in = false;
    std::thread([&] { in = object.lockForWriting(0) && object.unlock(); }).join();
    return in;
}

// A lock that never brings the event ends in the runner's time-out.
template <class Event>
void spinUntil(Event event) {
    while (!event())
        std::this_thread::yield();
}

inline int takeStatus() {
    const int status = kl_status_getLastError();
    kl_status_setLastError(KL_STATUS_OK);
    return status;
}

// Gives the status E recorded, -1 when nothing was thrown.
template <class E, class Body>
int expectThrowAt(Body body, const char* className, const char* file, int line) {
    try {
        body();
    } catch (const E& e) {
        EXPECT_STREQ(e.getClassName(), className);
        EXPECT_STREQ(e.getFileName(), file);
        EXPECT_EQ(e.getLine(), line);
        EXPECT_EQ(e.getDetail(), "");
        return e.getStatus();
    }
    ADD_FAILURE() << "expected " << className << " from " << file << ":" << line;
    return -1;
}

// A leaked hold is dropped after the failure, so the test fails instead of hanging.
inline void expectLockFree(const kelp::KLObject& object) {
    const bool taken = writerGetsIn(object);
    EXPECT_TRUE(taken) << "the lock is still held";
    while (!taken && object.unlock()) {
    }
}

}  // namespace kelp_test

#define EXPECT_THROW_AT(statement, Exception, file, line) \
    kelp_test::expectThrowAt<Exception>([&] { statement; }, #Exception, file, line)
