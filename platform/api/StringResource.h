// String resources: the program's texts, addressed by id.
#pragma once

#include "platform/api/Types.h"

// Copies the string (UTF-8) into the buffer, cut to fit with its terminating zero, and returns its length;
// 0 and an empty buffer when the program has no string with that id.
int LoadString(UINT nID, char* lpBuffer, int cchBufferMax);
