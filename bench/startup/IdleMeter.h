#pragma once

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace velka::bench {

inline long long cpuNanoseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ns = [](const timeval& t) {
        return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_usec * 1000LL;
    };
    return ns(usage.ru_utime) + ns(usage.ru_stime);
}

// Measures the CPU time the process spends while it sits showing its window: from one second
// after start-up, for the number of seconds in argv[1] (10 when not given). Prints
// "idle-cpu <nanoseconds> <seconds>" and ends the process.
inline void measureIdleCpu(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    QTimer::singleShot(1000, [seconds] {
        const long long start = cpuNanoseconds();
        QTimer::singleShot(seconds * 1000, [start, seconds] {
            std::printf("idle-cpu %lld %d\n", cpuNanoseconds() - start, seconds);
            std::fflush(stdout);
            _exit(0);
        });
    });
}

} // namespace velka::bench
