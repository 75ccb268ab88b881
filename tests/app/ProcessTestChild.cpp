// A process for the process-identification tests to start, copy and end: it only waits.
#include <windows.h>

int main()
{
    ::Sleep(60000);
    return 0;
}
