// The framework's free functions that the program calls: the main window and the application. The clock
// and the pointer (GetTickCount, Sleep, GetCursorPos) come with Types.h, as the system's calls do on Windows.
#pragma once

#include "platform/api/Types.h"

class CWnd;
class CWinApp;

CWnd* AfxGetMainWnd();
CWinApp* AfxGetApp();
