// String resources: texts of the current resource set, addressed by id.
#pragma once

#include "platform/api/Types.h"

// Copies the string (UTF-8) into the buffer, cut to fit with its terminating zero, and returns its length;
// 0 and an empty buffer when the resource set has no string with that id.
int LoadString(UINT nID, char* lpBuffer, int cchBufferMax);
