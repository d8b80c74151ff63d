// Runs a command with transparent huge pages turned off for it and everything it starts, to show
// what the figures are on a system without them:  quorvel-without-thp <command> [args...]
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvel-without-thp <command> [args...]\n");
        return 2;
    }
    if (prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0) != 0)
        std::perror("prctl(PR_SET_THP_DISABLE)");
    execvp(argv[1], argv + 1);
    std::perror(argv[1]);
    return 127;
}
