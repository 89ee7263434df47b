// Refused: the console attach is allowed in main, but <windows.h> only under Q_OS_WIN.
#include <windows.h>
void attach() { AttachConsole(ATTACH_PARENT_PROCESS); }
