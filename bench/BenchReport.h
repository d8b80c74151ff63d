#pragma once

#include <QtGlobal>

#include <cstdio>
#include <sys/resource.h>

// Processor time of this process so far, in ms: next to the wall-clock figure it shows how much
// of it was spent waiting for a busy machine.
inline qint64 cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

// Where the processor time of the operation being measured starts: set it before the operation.
inline qint64 g_cpuStart = 0;

// Prints one operation's wall-clock time and the processor time spent since g_cpuStart.
inline void report(const char *name, qint64 ms)
{
    const qint64 cpu = cpuMs();
    std::printf("%s: %lld ms\n", name, static_cast<long long>(ms));
    std::printf("%s (cpu): %lld ms\n", name, static_cast<long long>(cpu - g_cpuStart));
    std::fflush(stdout);
    g_cpuStart = cpuMs();
}
