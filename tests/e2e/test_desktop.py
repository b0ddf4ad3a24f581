"""The real program on a real desktop: under a window manager (or none) it rests where it should, answers its
buttons and tiles after the manager has moved it, shows the About box as a modal dialog, and ends quickly; on
two monitors it rests on the primary one and keeps a menu on the monitor where it opens.

Usage: test_desktop.py TILVANE SCENE, where SCENE is "window-manager" or "monitors". With TILVANE_E2E_SHOTS
set to a directory, the screenshots worth looking at are written there."""
import os
import subprocess
import sys
import time

from e2e import (Failure, Screenshot, check, find_window, has_window_manager, is_colour, main, run,
                 wait_for_geometry, wait_until, window_info, windows, xdotool, xprop, RED, WHITE)
from test_program import HEIGHT, LEFT, REST_TOP, WIDTH, Program

PITCH = 35
# Client points of the header buttons and of a spot of the frame's rim.
START, ABOUT, COLOUR, EXIT = (48, 34), (83, 34), (118, 34), (153, 34)
RIM = (1, 200)  # below where the About box stands over the window
MAGENTA = (255, 0, 255)


def shot(name):
    folder = os.environ.get("TILVANE_E2E_SHOTS")
    if folder:
        run("import", "-window", "root", os.path.join(folder, name + ".png"))


def click(origin, point, button=1):
    xdotool("mousemove", origin[0] + point[0], origin[1] + point[1], "click", button)


def cell_centre(origin, cell):
    return origin[0] + PITCH * (cell % 4 + 1) + PITCH // 2, origin[1] + PITCH * (cell // 4 + 2) + PITCH // 2


def hole(origin):
    """The cell of the hole, the one tile-sized white square of the board, read from the screen."""
    screen = Screenshot()
    found = []
    for cell in range(16):
        x, y = cell_centre(origin, cell)
        # Off the centre, where a tile's number never reaches.
        if all(is_colour(screen.at(x + dx, y + dy), WHITE) for dx, dy in ((-12, -12), (12, 12), (-12, 12))):
            found.append(cell)
    check(len(found) == 1, f"no single hole on the board: {found}")
    return found[0]


def board_pixels(origin):
    screen = Screenshot()
    return [screen.at(origin[0] + x, origin[1] + y) for x in range(PITCH, 5 * PITCH, 5)
            for y in range(2 * PITCH, 6 * PITCH, 5)]


def rim_is(origin, colour):
    return is_colour(Screenshot().at(origin[0] + RIM[0], origin[1] + RIM[1]), colour)


def check_about_box(main_window, origin):
    """Opens the About box by its header button and checks what the window manager is told about it."""
    click(origin, ABOUT)
    box = find_window(r"^バージョン情報$")
    wait_until(lambda: window_info(box)["viewable"], "the About box to show")
    kinds = xprop(box, "_NET_WM_WINDOW_TYPE")
    check("_NET_WM_WINDOW_TYPE_DIALOG" in kinds, f"the box's type: {kinds}")
    transient = xprop(box, "WM_TRANSIENT_FOR")
    check(f"0x{main_window:x}" in transient, f"the box should be transient for 0x{main_window:x}: {transient}")
    state = xprop(box, "_NET_WM_STATE")
    check("_NET_WM_STATE_MODAL" in state, f"the box's state: {state}")
    # Flags: functions and decorations; functions: move (4) and close (32); decorations: border, title, menu.
    motif = xprop(box, "_MOTIF_WM_HINTS")
    check("0x3, 0x24, 0x1a" in motif, f"the box's Motif hints: {motif}")
    # Whatever gives the box the keyboard first, a click on the disabled main window hands it (back) to the box.
    click(origin, COLOUR)
    wait_until(lambda: run("xdotool", "getwindowfocus").strip() == str(box), "the About box to take the focus")
    time.sleep(0.2)  # the frame's decorations follow the focus
    shot(f"about-{wm_name()}")
    check(rim_is(origin, RED), "a click on the disabled main window must not reach its Colour button")
    xdotool("key", "Escape")
    wait_until(lambda: not any(w == box for w, _, _ in windows()), "Escape to close the About box")


def wm_name():
    return os.environ.get("TILVANE_E2E_WM", "none")


def window_manager():
    with Program() as program:
        window = find_window(r"^Tilvane$")
        wait_for_geometry(window, LEFT, REST_TOP, WIDTH, HEIGHT)
        origin = (LEFT, REST_TOP)
        check(rim_is(origin, RED), "the resting window should show the red theme")
        shot(f"rest-{wm_name()}")
        check_about_box(window, origin)

        # A move made through the window manager (with none, by the server itself).
        moved = (100, 120)
        xdotool("windowmove", window, *moved)
        wait_for_geometry(window, *moved, WIDTH, HEIGHT)
        click(moved, COLOUR)
        wait_until(lambda: rim_is(moved, MAGENTA), "the Colour button to answer at the window's new place")
        before = hole(moved)
        neighbour = before + 1 if before % 4 == 0 else before - 1
        xdotool("mousemove", *cell_centre(moved, neighbour), "click", 1)
        wait_until(lambda: hole(moved) == neighbour, "a tile to answer at the window's new place")
        board = board_pixels(moved)
        click(moved, START)
        wait_until(lambda: board_pixels(moved) != board, "the Start button to deal a new board")

        click(moved, EXIT)
        pressed = time.monotonic()
        status = program.wait_exit(timeout=10)
        took = time.monotonic() - pressed
        check(status == 0, f"exit status {status}")
        check(took < 2.0, f"the exit took {took:.2f} s")


def set_monitors():
    """Two monitors side by side on the 2048 x 768 screen, the primary on the right."""
    run("xrandr", "--setmonitor", "*R", "1024/270x768/200+1024+0", "screen")
    run("xrandr", "--setmonitor", "L", "1024/270x768/200+0+0", "none")
    listed = run("xrandr", "--listmonitors")
    check(listed.startswith("Monitors: 2") and "*R" in listed, f"RandR would not take the monitors: {listed}")


def shown_menu():
    """The geometry of the popup menu on the screen, or None."""
    for window, _, _ in windows():
        try:
            info = window_info(window)
        except subprocess.CalledProcessError:
            continue  # a window that went away meanwhile
        if info["override_redirect"] and info["viewable"] and info["width"] > 40:
            return info
    return None


def open_menu(x, y):
    """Right-clicks at a screen point until a popup menu shows: a window manager busy with a move or a monitor
    change can take one click itself."""
    for _ in range(3):
        xdotool("mousemove", x, y, "click", 3)
        try:
            return wait_until(shown_menu, f"a popup menu near {x},{y}", timeout=3)
        except Failure:
            continue
    raise Failure(f"three right clicks at {x},{y} opened no popup menu")


def monitors():
    check(run("xdotool", "getdisplaygeometry").split() == ["2048", "768"], "the screen should be 2048 x 768")
    set_monitors()
    with Program() as program:
        window = find_window(r"^Tilvane$")
        wait_for_geometry(window, 1024 + LEFT, REST_TOP, WIDTH, HEIGHT)
        # Onto the left monitor, near its right edge, where a menu opened at the cursor would cross over.
        moved = (800, REST_TOP)
        xdotool("windowmove", window, *moved)
        wait_for_geometry(window, *moved, WIDTH, HEIGHT)
        x, y = moved[0] + 190, moved[1] + 230
        menu = open_menu(x, y)
        shot(f"menu-monitors-{wm_name()}")
        check(menu["x"] >= 0 and menu["x"] + menu["width"] <= 1024,
              f"the menu should stay on the left monitor: {menu}")
        check(menu["x"] + menu["width"] == x, f"the menu should open to the left of the cursor: {menu}")
        xdotool("key", "Escape")
        wait_until(lambda: shown_menu() is None, "Escape to close the menu")
        # The monitors change while the program runs: the left one grows to 1500 pixels, so the same click
        # now finds room on the right of the cursor. A program that kept the old monitors would open it left.
        run("xrandr", "--delmonitor", "L")
        run("xrandr", "--delmonitor", "R")
        run("xrandr", "--setmonitor", "*R", "548/145x768/200+1500+0", "screen")
        run("xrandr", "--setmonitor", "L", "1500/397x768/200+0+0", "none")
        # A window manager may re-place windows as the monitors change; the window goes back where it was.
        xdotool("windowmove", window, *moved)
        wait_for_geometry(window, *moved, WIDTH, HEIGHT)
        menu = open_menu(x, y)
        check(menu["x"] == x and menu["x"] + menu["width"] <= 1500,
              f"after the change the menu should open right of the cursor on the wider left monitor: {menu}")
        xdotool("key", "Escape")
        wait_until(lambda: shown_menu() is None, "Escape to close the menu")
        click(moved, EXIT)
        check(program.wait_exit(timeout=10) == 0, "the program should end with status 0")


SCENES = {"window-manager": window_manager, "monitors": monitors}

if __name__ == "__main__":
    scene = SCENES.get(sys.argv[2] if len(sys.argv) > 2 else "")
    if not scene:
        print(f"usage: test_desktop.py TILVANE {'|'.join(SCENES)}", file=sys.stderr)
        sys.exit(2)

    def checked_scene():
        if wm_name() != "none":
            check(has_window_manager(), f"{wm_name()} should manage the screen")
        scene()
    main(checked_scene)
