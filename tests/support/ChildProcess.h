#pragma once

#include <QtGlobal>

#include <functional>

#ifdef Q_OS_LINUX
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs `body` in a forked child, so limits set for it (and a crash) stay there; with
// `spareAddressSpace` its address space is limited to what it holds plus that many bytes.
// Returns 0 when body returned true, 1 when false, -1 when a signal ended the child.
inline int runInChild(const std::function<bool()> &body, rlim_t spareAddressSpace = 0)
{
    const pid_t child = ::fork();
    if (child == 0) {
        unsigned long pages = 0;
        if (std::FILE *f = spareAddressSpace ? std::fopen("/proc/self/statm", "r") : nullptr) {
            pages = std::fscanf(f, "%lu", &pages) == 1 ? pages : 0;
            std::fclose(f);
            const rlim_t inUse = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE));
            const rlimit limit{inUse + spareAddressSpace, RLIM_INFINITY};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif
