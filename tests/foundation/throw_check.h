#pragma once

#include <gtest/gtest.h>

#include <tessel/foundation/KLException.h>

#include "lock_probe.h"

namespace kelp_test {

// `body` must throw exactly E from the given site with no detail; gives the
// status the exception recorded (-1 when nothing was thrown).
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

// Another thread must be able to take the write lock at once. A hold leaked by
// this thread is dropped after the failure, so the test fails instead of hanging.
inline void expectLockFree(const kelp::KLObject& object) {
    const bool taken = writerGetsIn(object);
    EXPECT_TRUE(taken) << "the lock is still held";
    while (!taken && object.unlock()) {
    }
}

}  // namespace kelp_test

#define EXPECT_THROW_AT(statement, Exception, file, line) \
    kelp_test::expectThrowAt<Exception>([&] { statement; }, #Exception, file, line)
