/* Plays the system's part in a sign-out for the packaged-program test: sends the program's main
 * window (title "TanvicQuorvel") WM_QUERYENDSESSION, or WM_ENDSESSION saying whether the session
 * ends. Prints the window's answer to the question (1: may end).
 *   endsession.exe query | cancel | end */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    HWND window = FindWindowW(NULL, L"TanvicQuorvel");
    if (!window) {
        fprintf(stderr, "no window titled TanvicQuorvel\n");
        return 1;
    }
    DWORD_PTR answer = 0;
    if (strcmp(argv[1], "query") == 0) {
        if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &answer))
            return 1;
        printf("%d\n", (int)answer);
    } else {
        const BOOL ends = strcmp(argv[1], "end") == 0;
        SendMessageTimeoutW(window, WM_ENDSESSION, ends, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &answer);
    }
    return 0;
}
