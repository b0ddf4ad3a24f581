// Menu 181: the one popup menu, reached from the tray icon and by a right click on the window.
#include "res/PopupMenu.h"

#include "res/ResourceIds.h"

namespace {

using platform::MenuItemResource;

MenuItemResource Command(const char* caption, UINT id) {
  MenuItemResource item;
  item.caption = caption;
  item.id = id;
  return item;
}

MenuItemResource Separator() {
  MenuItemResource item;
  item.separator = true;
  return item;
}

MenuItemResource Submenu(const char* caption, std::vector<MenuItemResource> items) {
  MenuItemResource item;
  item.caption = caption;
  item.submenu = std::move(items);
  return item;
}

// The colour items follow the cycle's order, not that of their ids: purple stands second.
MenuItemResource ColourMenu() {
  return Submenu("色設定",
                 {Command("赤", ID_COLOR_RED), Command("紫", ID_COLOR_PURPLE), Command("黄", ID_COLOR_YELLOW),
                  Command("緑", ID_COLOR_GREEN), Command("水", ID_COLOR_CYAN), Command("青", ID_COLOR_BLUE),
                  Command("黒", ID_COLOR_BLACK)});
}

MenuItemResource PatternMenu() {
  return Submenu("背景ｻｲｽﾞ",
                 {Command("極小", ID_PATTERN_3), Command("小", ID_PATTERN_7), Command("中", ID_PATTERN_11),
                  Command("大", ID_PATTERN_15), Command("特大", ID_PATTERN_19)});
}

MenuItemResource ScreenMenu() {
  return Submenu("画面ｻｲｽﾞ", {Command("小", ID_SCREEN_SMALL), Command("中", ID_SCREEN_MEDIUM),
                              Command("大", ID_SCREEN_LARGE)});
}

MenuItemResource BoardMenu() {
  return Submenu("難易度設定", {Command("MoreEasy", ID_BOARD_16), Command("Easy", ID_BOARD_25),
                                Command("Normal", ID_BOARD_36), Command("Hard", ID_BOARD_49),
                                Command("MoreHard", ID_BOARD_64), Command("MAX", ID_BOARD_100)});
}

}  // namespace

platform::MenuResource tilvane::PopupMenu() {
  platform::MenuResource menu;
  // The top level is never shown: only its one item's submenu opens.
  menu.items.push_back(Submenu(
      "Popup", {Command("開始", ID_START), Separator(), ColourMenu(), PatternMenu(), ScreenMenu(),
                BoardMenu(), Separator(), Command("情報", ID_INFO), Separator(), Command("終了", ID_EXIT)}));
  return menu;
}
