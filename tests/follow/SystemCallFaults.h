#pragma once

// Faults put into this test program's own system calls, for failure paths no request can
// reach. The wrappers stand in for the C library's pthread_create, close and read within this
// executable, for the server's code and libmicrohttpd's alike; unarmed, each passes straight
// through.

#include <functional>

namespace velka::test {

// Of the threads started from now on, `skip` start and the `count` after them fail as they do
// when the system has no more to give.
void failThreadStarts(int skip, int count);

// Once the next listening socket is closed, another file takes its number at once, as one
// opened on another thread might.
void reuseNextClosedListener();
// That number (its placeholder file left open), or -1 when no listening socket was closed;
// disarms.
int takeReusedNumber();

// Runs `action` on the reading thread just before the next read of `fd`.
void beforeNextRead(int fd, std::function<void()> action);

} // namespace velka::test
