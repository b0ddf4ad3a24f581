// The resource set of the program: dialog templates, icon, button pictures and cursors, built from source.
#pragma once

#include "platform/api/Resources.h"

// Built on first use and kept for the life of the process; every run of the program may share it.
const platform::ResourceSet& TilvaneResources();
