#pragma once

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace velka::bench {

// The CPU time of every thread of the process, in nanoseconds, as the scheduler counts it. Unlike
// getrusage, which on many kernels samples at the timer tick (4 ms), this is exact, so a few
// seconds of a nearly idle program already give a stable figure.
inline long long cpuNanoseconds()
{
    long long total = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "schedstat");
        long long onCpu = 0;
        if (stat >> onCpu)
            total += onCpu;
    }
    return total;
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
