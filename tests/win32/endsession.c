/* The system's part in a sign-out, for the packaged-program test: sends the window titled
 * "TanvicQuorvel" WM_QUERYENDSESSION (printing its answer, 1: may end) or WM_ENDSESSION.
 *   endsession.exe query | cancel | end */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv)
{
    HWND window = FindWindowW(NULL, L"TanvicQuorvel");
    DWORD_PTR answer = 0;
    if (argc < 2 || !window)
        return 1;
    if (strcmp(argv[1], "query") == 0)
        SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &answer);
    else
        SendMessageTimeoutW(window, WM_ENDSESSION, strcmp(argv[1], "end") == 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &answer);
    printf("%d\n", (int)answer);
    return 0;
}
