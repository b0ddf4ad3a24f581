"""The Windows build under Wine on a 1024 x 768 X screen: the rounded window drops in to its resting place and a
tile beside the hole slides at a click; the right-click menu, drawn by Wine, opens and sets the largest board;
the About box opens from the menu and its OK closes it; the menu's exit command carries the window off the
bottom of the screen and the program ends with status 0. On the command line, a GUI program answers in message
boxes: --version with status 0, an argument it does not know with status 2.

Usage: test_wine.py TILVANE.EXE SCENE, on the display the harness made, with TILVANE_WINE_PREFIX naming a prefix
booted by prefix.py. The screenshots worth looking at go into the working directory; their paths are printed."""
import os
import subprocess
import sys

from wine import PATIENCE, WindowsProgram, require_tools, stop_server, test_prefix
from e2e import (BLACK, RED, WHITE, Failure, Screenshot, check, is_colour, main, run, wait_until, window_info,
                 windows, xdotool)

EXE = sys.argv[1] if len(sys.argv) > 1 else ""
SCENE = sys.argv[2] if len(sys.argv) > 2 else ""
# The 4 x 4 window of the small size on a 1024 x 768 screen: centred, and at rest one pixel above the middle.
WIDTH, HEIGHT = 210, 245
LEFT, REST_TOP = (1024 - WIDTH) // 2, 261
PITCH = 35  # a tile's side; the board starts one tile in and two tiles down
GDI_CUT = 1  # the pixels GDI's round-rectangle region leaves out at the right and the bottom
RIM = (LEFT + 20, REST_TOP + 230)  # a point of the frame below the board, where a right click opens the menu


def shot(name):
    path = os.path.abspath(f"wine-{SCENE}-{name}.png")
    run("import", "-window", "root", path)
    print(f"screenshot: {path}")


def named_windows(name):
    """The viewable windows with this name, with their geometry, found afresh on the screen."""
    found = []
    for window, title, _ in windows():
        if title != name:
            continue
        try:
            info = window_info(window)
        except subprocess.CalledProcessError:
            continue  # gone meanwhile
        if info["viewable"]:
            found.append((window, info))
    return found


def main_window(program):
    """The program's main window once Wine has mapped it (Wine names its X window after the window's title)."""
    def probe():
        program.check_running()
        big = [(window, info) for window, info in named_windows("Tilvane") if info["width"] >= 100]
        return big[0] if big else None
    return wait_until(probe, "the main window named Tilvane to show")


def watch_drop_in(program):
    """Follows the window from its first appearance to its resting place; returns the tops seen on the way."""
    window, info = main_window(program)
    tops = [info["y"]]

    def probe():
        program.check_running()
        now = window_info(window)
        if now["y"] != tops[-1]:
            tops.append(now["y"])
        return now if (now["x"], now["y"], now["width"], now["height"]) == (LEFT, REST_TOP, WIDTH, HEIGHT) else None
    try:
        wait_until(probe, "the drop-in to end")
    except Failure:
        raise Failure(f"the window is at {window_info(window)}, wanted {LEFT},{REST_TOP} {WIDTH}x{HEIGHT}; "
                      f"tops seen: {tops}")
    return window, tops


def check_round_shape(screen, left, top, width, height):
    """The corners are cut away by the window's region (the black root window shows); the middle of each edge
    and the border just inside the curve are the red theme's border, some seven pixels wide. GDI leaves the
    right column and the bottom row of a round rectangle out of its region, so the shape ends one pixel inside
    the window's right and bottom edges, and the black shows there."""
    right, bottom = left + width - 1 - GDI_CUT, top + height - 1 - GDI_CUT
    expected = {
        (left, top): BLACK, (right, top): BLACK, (left, bottom): BLACK, (right, bottom): BLACK,
        (left + 2, top + 2): BLACK, (right - 2, bottom - 2): BLACK, (right - 2, top + 2): BLACK,
        (left + 5, top + 5): RED, (right - 5, bottom - 5): RED,
        (left + width // 2, top): RED, (left, top + height // 2): RED, (right, top + height // 2): RED,
        (left + width // 2, bottom): RED,
        (left - 1, top + height // 2): BLACK, (right + 1, top + height // 2): BLACK,
        (left + width // 2, bottom + 1): BLACK,
    }
    wrong = {point: screen.at(*point) for point, colour in expected.items() if not is_colour(screen.at(*point), colour)}
    check(not wrong, f"the window's outline is not the rounded red frame; wrong pixels: {wrong}")


def cell_centre(cell):
    return LEFT + PITCH * (cell % 4 + 1) + PITCH // 2, REST_TOP + PITCH * (cell // 4 + 2) + PITCH // 2


def hole(screen):
    """The cell of the hole, the one tile-sized white square of the board, read from the screen."""
    found = [cell for cell in range(16)
             if all(is_colour(screen.at(cell_centre(cell)[0] + dx, cell_centre(cell)[1] + dy), WHITE)
                    for dx, dy in ((-12, -12), (12, 12), (-12, 12), (12, -12)))]
    check(len(found) == 1, f"no single hole on the board: white cells {found}")
    return found[0]


def board_pixels(screen, cells):
    return [screen.at(cell_centre(cell)[0] + dx, cell_centre(cell)[1] + dy)
            for cell in cells for dx in range(-14, 15, 4) for dy in range(-14, 15, 4)]


def until_shown(test, what, program, timeout=5):
    """Reads the screen until `test(screenshot)` passes and returns that screenshot; a window may still be
    painting when it stands where it belongs. On giving up it says what the last reading found."""
    found = []

    def probe():
        program.check_running()
        screen = Screenshot()
        try:
            test(screen)
            return screen
        except Failure as failure:
            found[:] = [failure]
            return None
    try:
        return wait_until(probe, what, timeout)
    except Failure:
        raise Failure(f"gave up waiting for {what}: {found[0] if found else 'no reading'}")


def board():
    """Drop-in, the rounded outline, and a tile beside the hole that slides into it at a click."""
    with WindowsProgram(test_prefix(), EXE, os.path.abspath(f"wine-{SCENE}.log")) as program:
        window, tops = watch_drop_in(program)
        check(tops[0] < REST_TOP and tops == sorted(tops),
              f"the window should come down from above, step by step, to {REST_TOP}: tops seen {tops}")
        screen = until_shown(lambda screen: (check_round_shape(screen, LEFT, REST_TOP, WIDTH, HEIGHT), hole(screen)),
                             "the rounded window with its board", program)
        shot("start")
        before = hole(screen)
        neighbour = before + 1 if before % 4 == 0 else before - 1
        pixels = board_pixels(screen, (before, neighbour))
        xdotool("mousemove", *cell_centre(neighbour), "click", 1)

        def slid(screen):
            check(hole(screen) == neighbour, f"the hole is in cell {hole(screen)}")
        try:
            after = until_shown(slid, f"the tile in cell {neighbour} to slide into the hole in cell {before}", program)
        except Failure:
            shot("tile-click")
            raise
        # The tile's picture now stands in the old hole, the hole's where the tile stood: nothing else changed.
        check(board_pixels(after, (neighbour, before)) == pixels,
              f"the tile of cell {neighbour} and the hole should have changed places, pixel for pixel")
        check_round_shape(after, LEFT, REST_TOP, WIDTH, HEIGHT)


def shown_menu():
    """The popup menu Wine shows as an override-redirect window, as (window, geometry), or None."""
    for window, _, _ in windows():
        try:
            info = window_info(window)
        except subprocess.CalledProcessError:
            continue
        if info["override_redirect"] and info["viewable"] and info["width"] > 40 and \
                (info["width"], info["height"]) not in ((WIDTH, HEIGHT), (420, 455)):
            return window, info
    return None


def open_menu(program, at=RIM, what="the frame"):
    """Right-clicks `at` and waits for Wine's popup menu at the cursor."""
    xdotool("mousemove", *at, "click", 3)

    def probe():
        program.check_running()
        return shown_menu()
    menu, info = wait_until(probe, f"a popup menu after a right click on {what} at {at[0]},{at[1]}", 5)
    # The menu opens at the cursor, or as near it as the screen allows.
    check(abs(info["x"] - at[0]) <= 2 or abs(info["x"] + info["width"] - at[0]) <= 2,
          f"the menu should open at the cursor {at}: {info}")
    return menu, info


def choose(program, menu, keys, then=None):
    """Walks the open menu with the keyboard: Down from no highlight reaches the n-th item that is not a
    separator. Keys reach Wine while the pointer stands over one of its windows, where the right click left it.
    `then`, when given, is polled from the moment Enter is pressed until the menu has closed."""
    xdotool("key", "--delay", "30", *keys, "Return")

    def closed():
        if then:
            then()  # the command may end the program, which is no fault here
        else:
            program.check_running()
        try:
            return not window_info(menu)["viewable"]
        except subprocess.CalledProcessError:
            return True  # destroyed
    wait_until(closed, f"the menu to close after {' '.join(keys)} Return", 5)


def menu_max():
    """The menu opens at a right click on the frame; its board size "MAX" gives the 10 x 10 window."""
    with WindowsProgram(test_prefix(), EXE, os.path.abspath(f"wine-{SCENE}.log")) as program:
        window, _ = watch_drop_in(program)
        menu, _ = open_menu(program)
        shot("menu")
        # 開始, 色設定, 背景ｻｲｽﾞ, 画面ｻｲｽﾞ, 難易度設定 → its first item, then down five to "MAX".
        choose(program, menu, ["Down"] * 5 + ["Right"] + ["Down"] * 5)

        def sized():
            program.check_running()
            info = window_info(window)
            return info if (info["width"], info["height"]) == (420, 455) else None
        try:
            info = wait_until(sized, "the window of the 10 x 10 board", 5)
        except Failure:
            raise Failure(f"after MAX the window is {window_info(window)}, wanted 420 x 455")
        check(info["x"] == LEFT, f"a new board size keeps the window's left edge: {info}")
        until_shown(lambda screen: check_round_shape(screen, info["x"], info["y"], 420, 455),
                    "the rounded outline of the large window", program)
        shot("max")


# The About box's template is 173 x 59 dialog units; its X window is the dialog's client area.
ABOUT_DLU = (173, 59)


def about_point(info, x_dlu, y_dlu):
    """A point of the About box given in its template's dialog units."""
    return (info["x"] + x_dlu * info["width"] // ABOUT_DLU[0], info["y"] + y_dlu * info["height"] // ABOUT_DLU[1])


def check_about_icon(screen, info):
    """The icon static (7, 8, 20 x 20 dialog units) shows the program's icon: a red board, not a blank face."""
    (left, top), (right, bottom) = about_point(info, 7, 8), about_point(info, 27, 28)
    red = sum(is_colour(screen.at(x, y), RED) for x in range(left, right) for y in range(top, bottom))
    check(red >= 40, f"the About box shows no icon at {left},{top}-{right},{bottom} ({red} red pixels)")


def about_and_exit():
    """情報 opens the About box with the program's icon, and a click on its OK closes it; 終了 carries the window off the bottom and ends the program."""
    with WindowsProgram(test_prefix(), EXE, os.path.abspath(f"wine-{SCENE}.log")) as program:
        window, _ = watch_drop_in(program)
        menu, _ = open_menu(program)
        choose(program, menu, ["Down"] * 6)  # 情報

        def about_box():
            program.check_running()
            boxes = named_windows("バージョン情報")
            return boxes[0] if boxes else None
        box, info = wait_until(about_box, "the About box named バージョン情報 to show", 5)
        until_shown(lambda screen: check_about_icon(screen, info), "the program's icon in the About box", program)
        shot("about")
        xdotool("mousemove", *about_point(info, 117 + 25, 40 + 7), "click", 1)  # the middle of OK

        def box_gone():
            program.check_running()
            return not named_windows("バージョン情報")
        wait_until(box_gone, "OK to close the About box", 5)

        menu, _ = open_menu(program)
        lowest = [REST_TOP]

        def follow_window():
            try:
                now = window_info(window)
                if now["viewable"]:
                    lowest[0] = max(lowest[0], now["y"])
            except subprocess.CalledProcessError:
                pass  # the window is gone
        # The exit's steps may start while the menu is still closing: the window is followed from Enter on.
        choose(program, menu, ["Down"] * 7, then=follow_window)  # 終了

        def ended():
            follow_window()
            return program.proc.poll() is not None
        wait_until(ended, "the program to end after 終了", PATIENCE)
        check(program.proc.returncode == 0, f"exit status {program.proc.returncode}")
        check(lowest[0] > 600, f"the window should leave through the bottom of the screen; its lowest top was "
                               f"{lowest[0]}")


def tray():
    """The notification icon, shown by Wine in its own tray window when the desktop has no tray: it wears the
    program's icon, a right press on it opens the menu at the cursor, and a click elsewhere closes the menu."""
    with WindowsProgram(test_prefix(), EXE, os.path.abspath(f"wine-{SCENE}.log")) as program:
        watch_drop_in(program)

        def tray_window():
            program.check_running()
            found = named_windows("Wine System Tray")
            return found[0][1] if found else None
        info = wait_until(tray_window, "Wine's tray window with the program's icon", 5)
        icon = (info["x"] + 10, info["y"] + 10)

        def icon_shown(screen):
            red = sum(is_colour(screen.at(x, y), RED) for x in range(icon[0] - 8, icon[0] + 8)
                      for y in range(icon[1] - 8, icon[1] + 8))
            check(red >= 10, f"the tray shows no program icon at {icon} ({red} red pixels)")
        until_shown(icon_shown, "the program's icon in the tray", program)
        shot("tray")
        menu, _ = open_menu(program, icon, "the tray icon")
        shot("tray-menu")
        xdotool("mousemove", 700, 650, "click", 1)  # the bare screen, away from every window

        def menu_closed():
            program.check_running()
            try:
                return not window_info(menu)["viewable"]
            except subprocess.CalledProcessError:
                return True
        wait_until(menu_closed, "a click elsewhere to close the tray's menu", 5)
        program.check_running()


def answer_box(args, status):
    """The program run with `args` shows a message box named Tilvane instead of its window; Enter closes the
    box and the program ends with `status`."""
    name = "-".join(arg.strip("-").replace(".", "-") for arg in args)
    with WindowsProgram(test_prefix(), EXE, os.path.abspath(f"wine-{SCENE}-{name}.log"), *args) as program:
        def box():
            program.check_running()
            shown = [(window, info) for window, info in named_windows("Tilvane")
                     if (info["width"], info["height"]) != (WIDTH, HEIGHT)]
            return shown[0] if shown else None
        window, info = wait_until(box, f"a message box named Tilvane for {' '.join(args)}", PATIENCE)
        shot(name)
        # Keys reach Wine while the pointer stands over one of its windows.
        xdotool("mousemove", info["x"] + info["width"] // 2, info["y"] + 10, "key", "Return")
        ended = program.wait_exit()
        check(ended == status, f"{' '.join(args)} ended with status {ended}, wanted {status}")


def command_line():
    answer_box(["--version"], 0)
    answer_box(["stray.txt"], 2)


SCENES = {"board": board, "menu-max": menu_max, "about-exit": about_and_exit, "tray": tray,
          "command-line": command_line}

if __name__ == "__main__":
    require_tools()
    scene = SCENES.get(SCENE)
    if not scene or not os.path.isfile(EXE):
        print(f"usage: test_wine.py TILVANE.EXE {'|'.join(SCENES)}", file=sys.stderr)
        sys.exit(2)

    def isolated_scene():
        # Every Windows process of the run ends with it, so the next test starts a server on its own display.
        try:
            scene()
        finally:
            stop_server(test_prefix())
    main(isolated_scene)
