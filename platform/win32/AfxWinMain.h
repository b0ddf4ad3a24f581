// The program's start on Windows, where the system is the display.
#pragma once

#include "platform/api/Resources.h"
#include "platform/api/WinApp.h"

// Registers the program's window classes, calls InitInstance, and Run when asked; returns the exit status.
int AfxWinMain(CWinApp& app, const platform::ResourceSet& resources);
