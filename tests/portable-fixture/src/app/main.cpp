// Allowed: the console attach, as the program's own main has it.
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

void attach()
{
    AttachConsole(ATTACH_PARENT_PROCESS);
}
