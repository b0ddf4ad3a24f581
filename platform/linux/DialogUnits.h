// Dialog units to pixels, and the child controls that a dialog template describes.
#pragma once

#include "platform/api/Resources.h"
#include "platform/api/Types.h"

class CFont;
class CWnd;

namespace platform {

// What the dialog keyboard handling needs to know of a control window.
struct ControlInfo {
  int id = -1;
  bool isDefaultButton = false;
};

// Converts a rectangle in the template's dialog units to pixels: a horizontal unit is a quarter of the
// mean width of the dialog font's Latin letters, a vertical unit an eighth of its height (tmHeight).
RECT DialogUnitsToPixels(const DialogResource& tmpl, const RECT& dlu);
// Creates the template's controls as child windows of the dialog; each is deleted with its window.
void CreateDialogControls(CWnd& dialog, const DialogResource& tmpl);
// What a control window made from a template is; null for any other window.
const ControlInfo* FindControlInfo(HWND control);
// The font the template names, at its point size; FALSE when it names none or the face is missing, and
// the dialog then draws with the stock font.
bool CreateDialogFont(const DialogResource& tmpl, CFont& font);

}  // namespace platform
