// The program's start on our own window system: an application run on a display that a backend stands for.
#pragma once

#include <string>

#include "platform/api/Resources.h"
#include "platform/api/WinApp.h"
#include "platform/linux/Backend.h"

// Runs an application on a display: makes its window system, calls InitInstance, and Run when asked.
// Returns the exit status. When the display went away under the program, or the program's last window was
// destroyed by another client, `lostDisplay` (if given) says why.
int AfxWinMain(CWinApp& app, platform::IBackend& backend, const platform::ResourceSet& resources,
               std::string* lostDisplay = nullptr);
