#pragma once

#include <QtGlobal>

#include <functional>

#ifdef Q_OS_LINUX
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs `body` in a forked child, so limits set for it (and a crash) stay there: with
// `spareAddressSpace` > 0 its address space is limited to what it holds plus that many bytes.
// Returns body's result as the child's exit code, or -1 when a signal ended the child.
inline int runInChild(const std::function<bool()> &body, rlim_t spareAddressSpace = 0)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (spareAddressSpace > 0) {
            unsigned long pages = 0;
            if (std::FILE *f = std::fopen("/proc/self/statm", "r")) {
                pages = std::fscanf(f, "%lu", &pages) == 1 ? pages : 0;
                std::fclose(f);
            }
            const rlimit limit{rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + spareAddressSpace, RLIM_INFINITY};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
#endif
