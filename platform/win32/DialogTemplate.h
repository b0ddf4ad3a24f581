// The in-memory DLGTEMPLATE that the dialog manager builds a dialog from, made from one of our templates.
#pragma once

#include <vector>

#include "platform/api/Resources.h"

namespace platform {

// DWORD-aligned template bytes; the dialog is of `windowClass`, its controls the system's buttons and
// statics.
std::vector<WORD> BuildDialogTemplate(const DialogResource& tmpl, const wchar_t* windowClass);

}  // namespace platform
