// Descriptors the message loop's wait also watches, for a program that talks
// to another process (a bus connection, a pipe) on the user-interface thread
// without a thread of its own.
//
//   auto id = tessel::watchDescriptor(fd, POLLIN, [](short revents) { readSome(); });
//   ...
//   tessel::unwatchDescriptor(id);
//
// The callback runs on the user-interface thread, from within GetMessage,
// PeekMessage, WaitMessage and testing::pump, as soon as poll() would report
// one of `events` (POLLIN, POLLOUT; POLLERR and POLLHUP always) for the
// descriptor; never from another thread and never re-entered for the same
// watch. A callback may watch, change and unwatch descriptors, its own too.
#pragma once

#include <functional>

namespace tessel {

using WaitSourceId = unsigned long;

// 0 when fd is negative, events is empty or ready is empty.
WaitSourceId watchDescriptor(int fd, short events, std::function<void(short revents)> ready);
// The events watched from now on; none pauses the watch. False for an unknown id.
bool changeWatchedEvents(WaitSourceId id, short events);
// False for an unknown id; a removed watch is never called again.
bool unwatchDescriptor(WaitSourceId id);

}  // namespace tessel
