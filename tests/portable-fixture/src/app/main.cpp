// The console attach is allowed in main, but <windows.h> only under Q_OS_WIN: refused here.
#include <windows.h>

void attach()
{
    AttachConsole(ATTACH_PARENT_PROCESS);
}
