// Looking at a lock from outside, without sleeping: threads that hold nothing
// try it, and tests wait for what those tries see to change.
#pragma once

#include <gtest/gtest.h>

#include <thread>

#include <tessel/foundation/KLObject.h>

namespace kelp_test {

// Whether a thread holding nothing gets a read hold at once. False while a
// writer holds the object or, writers going first, while one waits for it.
inline bool newReaderGetsIn(const kelp::KLObject& object) {
    bool in = false;
    std::thread([&] { in = object.lockForReading(0) && object.unlock(); }).join();
    return in;
}

// Whether a thread holding nothing gets the write lock at once.
inline bool writerGetsIn(const kelp::KLObject& object) {
    bool in = false;
    std::thread([&] { in = object.lockForWriting(0) && object.unlock(); }).join();
    return in;
}

// Spins until `event` is true: the test waits for what happens, never for
// time. (Should a broken lock never bring the event, the test runner's
// time-out ends the test.)
template <class Event>
void spinUntil(Event event) {
    while (!event())
        std::this_thread::yield();
}

}  // namespace kelp_test
