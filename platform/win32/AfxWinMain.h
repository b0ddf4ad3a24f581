// The program's start on Windows, where the system is the display and the module holds the resources.
#pragma once

#include "platform/api/WinApp.h"

// Registers the program's window class, calls InitInstance, and Run when asked; returns the exit status.
int AfxWinMain(CWinApp& app);
