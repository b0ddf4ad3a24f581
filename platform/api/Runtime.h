// The framework's free functions that the program calls: the clock, the pointer, the main window, the
// application.
#pragma once

#include "platform/api/Types.h"

class CWnd;
class CWinApp;

#if !defined(_WIN32)
// Windows declares these three itself.
DWORD GetTickCount();
void Sleep(DWORD ms);
BOOL GetCursorPos(POINT* pt);
#endif
CWnd* AfxGetMainWnd();
CWinApp* AfxGetApp();
