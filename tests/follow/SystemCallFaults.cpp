#include "tests/follow/SystemCallFaults.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <utility>

namespace velka::test {
namespace {

template <typename Function>
Function real(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// All under `faults`; `armed` lets the wrappers pass by without the lock while nothing is.
std::mutex faults;
std::atomic<bool> armed{false};
int threadsToSkip = 0;
int threadsToFail = 0;
bool listenerToReuse = false;
int reusedNumber = -1;
int readWatched = -1;
std::function<void()> beforeRead;

void rearm()
{
    armed = threadsToFail > 0 || listenerToReuse || readWatched >= 0;
}

} // namespace

void failThreadStarts(int skip, int count)
{
    const std::lock_guard lock(faults);
    threadsToSkip = skip;
    threadsToFail = count;
    rearm();
}

void reuseNextClosedListener()
{
    const std::lock_guard lock(faults);
    listenerToReuse = true;
    reusedNumber = -1;
    rearm();
}

int takeReusedNumber()
{
    const std::lock_guard lock(faults);
    listenerToReuse = false;
    rearm();
    return std::exchange(reusedNumber, -1);
}

void beforeNextRead(int fd, std::function<void()> action)
{
    const std::lock_guard lock(faults);
    readWatched = fd;
    beforeRead = std::move(action);
    rearm();
}

} // namespace velka::test

using namespace velka::test;

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*routine)(void*), void* argument) noexcept
{
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const Create create = real<Create>("pthread_create");
    if (armed) {
        const std::lock_guard lock(faults);
        if (threadsToFail > 0 && threadsToSkip-- <= 0) {
            --threadsToFail;
            rearm();
            return EAGAIN;
        }
    }
    return create(thread, attributes, routine, argument);
}

extern "C" int close(int fd)
{
    using Close = int (*)(int);
    static const Close closeFile = real<Close>("close");
    int accepting = 0;
    socklen_t size = sizeof accepting;
    if (!armed || ::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &size) != 0 ||
        accepting == 0)
        return closeFile(fd);
    const std::lock_guard lock(faults);
    const int closed = closeFile(fd);
    if (listenerToReuse && closed == 0) {
        const int placeholder = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (placeholder >= 0 && ::dup2(placeholder, fd) == fd)
            reusedNumber = fd;
        if (placeholder >= 0 && placeholder != fd)
            closeFile(placeholder);
        listenerToReuse = false;
        rearm();
    }
    return closed;
}

extern "C" ssize_t read(int fd, void* buffer, size_t size)
{
    using Read = ssize_t (*)(int, void*, size_t);
    static const Read readFile = real<Read>("read");
    std::function<void()> action;
    if (armed) {
        const std::lock_guard lock(faults);
        if (fd == readWatched) {
            action = std::exchange(beforeRead, {});
            readWatched = -1;
            rearm();
        }
    }
    if (action)
        action();
    return readFile(fd, buffer, size);
}
