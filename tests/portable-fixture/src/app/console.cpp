// Refused: the same outside main.
#include <windows.h>
void attach() { if (!AttachConsole(ATTACH_PARENT_PROCESS)) return; }
