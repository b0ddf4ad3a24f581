// Dialog template 100: the About box with the program's name, version and maker.
#include "res/AboutBox.h"

#include <string>

#include "platform/api/Dialog.h"
#include "res/ResourceIds.h"
#include "res/Version.h"

namespace {

platform::DialogControlResource Control(platform::ControlClass cls, int id, DWORD style, RECT dlu,
                                        std::string text, UINT iconId = 0) {
  platform::DialogControlResource control;
  control.cls = cls;
  control.id = id;
  control.style = style;
  control.dlu = dlu;
  control.text = std::move(text);
  control.iconId = iconId;
  return control;
}

// Dialog units as x, y, width, height, the way templates give them.
RECT Place(int x, int y, int cx, int cy) {
  return RECT{x, y, x + cx, y + cy};
}

}  // namespace

platform::DialogResource tilvane::AboutBoxTemplate() {
  using platform::ControlClass;
  const DWORD kText = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
  platform::DialogResource box;
  box.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  box.dlu = Place(0, 0, 173, 59);
  box.title = "バージョン情報";
  box.fontPoints = 9;
  box.fontFace = "ＭＳ Ｐゴシック";
  // The name and the version are parted by an ideographic space.
  std::string nameLine = std::string(kVersion.productName) + "\u3000Version " + kVersion.productVersionText;
  box.controls = {
      Control(ControlClass::Button, IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
              Place(117, 40, 50, 14), "OK"),
      Control(ControlClass::Static, -1, WS_CHILD | WS_VISIBLE | SS_ICON, Place(7, 8, 20, 20), "",
              IDR_MAINFRAME),
      Control(ControlClass::Static, -1, kText, Place(39, 8, 78, 8), nameLine),
      Control(ControlClass::Static, -1, kText, Place(39, 24, 123, 8), kVersion.legalCopyright),
  };
  return box;
}
