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
Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

std::mutex faultsMutex;
int threadsToSkip = 0;
int threadsToFail = 0;
std::atomic<bool> threadFaults{false};
std::atomic<bool> listenerArmed{false};
int reusedNumber = -1;
std::atomic<int> readWatched{-1};
std::function<void()> beforeRead;

bool threadStartFails()
{
    if (!threadFaults.load())
        return false;
    const std::lock_guard lock(faultsMutex);
    if (threadsToSkip > 0) {
        --threadsToSkip;
        return false;
    }
    if (threadsToFail == 0)
        return false;
    if (--threadsToFail == 0)
        threadFaults = false;
    return true;
}

bool listening(int fd)
{
    int accepting = 0;
    socklen_t size = sizeof accepting;
    return ::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &size) == 0 && accepting != 0;
}

} // namespace

void failThreadStarts(int skip, int count)
{
    const std::lock_guard lock(faultsMutex);
    threadsToSkip = skip;
    threadsToFail = count;
    threadFaults = count > 0;
}

void reuseNextClosedListener()
{
    const std::lock_guard lock(faultsMutex);
    reusedNumber = -1;
    listenerArmed = true;
}

int takeReusedNumber()
{
    const std::lock_guard lock(faultsMutex);
    listenerArmed = false;
    return std::exchange(reusedNumber, -1);
}

void beforeNextRead(int fd, std::function<void()> action)
{
    const std::lock_guard lock(faultsMutex);
    beforeRead = std::move(action);
    readWatched = fd;
}

} // namespace velka::test

using namespace velka::test;

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*routine)(void*), void* argument) noexcept
{
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const Create real = next<Create>("pthread_create");
    if (threadStartFails())
        return EAGAIN;
    return real(thread, attributes, routine, argument);
}

extern "C" int close(int fd)
{
    using Close = int (*)(int);
    static const Close real = next<Close>("close");
    if (!listenerArmed.load() || !listening(fd))
        return real(fd);
    const std::lock_guard lock(faultsMutex);
    const int closed = real(fd);
    const int placeholder = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (closed == 0 && placeholder >= 0 && ::dup2(placeholder, fd) == fd)
        reusedNumber = fd;
    if (placeholder >= 0 && placeholder != fd)
        real(placeholder);
    listenerArmed = false;
    return closed;
}

extern "C" ssize_t read(int fd, void* buffer, size_t size)
{
    using Read = ssize_t (*)(int, void*, size_t);
    static const Read real = next<Read>("read");
    if (readWatched.load() == fd) {
        std::function<void()> action;
        {
            const std::lock_guard lock(faultsMutex);
            if (readWatched.load() == fd) {
                action = std::exchange(beforeRead, {});
                readWatched = -1;
            }
        }
        if (action)
            action();
    }
    return real(fd, buffer, size);
}
