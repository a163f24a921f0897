/* desktop_keeper.exe: started by with-prefix.sh for the prefix's whole life.
 *
 * Wine ends the prefix's desktop process (explorer.exe /desktop) one second after the last program
 * using the desktop has gone. The next program to make a window then starts a new one and waits
 * for it, up to ten seconds per wait and more when the old one is still on its way out: between two
 * tests that is seconds lost, and on a loaded machine a window that did not show within its test's
 * time. This program uses the desktop and then only waits, so that the desktop comes up once, before
 * the first test, and stays. It prints "ready" once the desktop is there. */
#include <windows.h>
#include <stdio.h>

int main(void)
{
    if (!GetDesktopWindow()) {
        printf("no desktop (error %lu)\n", GetLastError());
        return 1;
    }
    printf("ready\n");
    fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
