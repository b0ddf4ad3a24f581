// The program's resource set, assembled once from the dialog template and the pixel art of this folder.
#include "res/TilvaneResources.h"

#include "platform/api/Dialog.h"
#include "res/AboutBox.h"
#include "res/PopupMenu.h"
#include "res/ResourceArt.h"
#include "res/ResourceIds.h"

namespace {

// The main window's template: a borderless visible popup without controls. OnInitDialog gives the window
// its real size and place before it is first shown, so the nominal size here never shows.
platform::DialogResource PuzzleDialogTemplate() {
  platform::DialogResource dialog;
  dialog.style = WS_POPUP | WS_VISIBLE | DS_SETFONT;
  dialog.dlu = RECT{0, 0, 120, 150};
  dialog.fontPoints = 9;
  dialog.fontFace = "ＭＳ Ｐゴシック";
  return dialog;
}

platform::ResourceSet BuildResources() {
  platform::ResourceSet set;
  set.dialogs[IDD_PUZZLE_DIALOG] = PuzzleDialogTemplate();
  set.icons[IDR_MAINFRAME] = tilvane::art::MainIcon();
  set.bitmaps[IDB_START] = tilvane::art::StartPicture();
  set.bitmaps[IDB_ABOUT] = tilvane::art::AboutPicture();
  set.bitmaps[IDB_COLOR] = tilvane::art::ColourPicture();
  set.bitmaps[IDB_EXIT] = tilvane::art::ExitPicture();
  set.cursors[IDC_GRIP] = tilvane::art::GripCursor();
  set.cursors[IDC_POINTER] = tilvane::art::PointerCursor();
  set.dialogs[IDD_ABOUTBOX] = tilvane::AboutBoxTemplate();
  set.menus[IDR_POPUP] = tilvane::PopupMenu();
  // No string 102 is defined on purpose: the tray icon's tip stays empty.
  return set;
}

}  // namespace

const platform::ResourceSet& TilvaneResources() {
  // Built once and never changed afterwards, so that every window system of the process can share it.
  static const platform::ResourceSet resources = BuildResources();
  return resources;
}
