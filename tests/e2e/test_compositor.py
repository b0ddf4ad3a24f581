"""Under a compositing manager the rounded window is drawn with alpha: a compositor draws a bounding shape's cut-away
corners as black squares, so the window has a 32-bit visual and its corners are transparent, showing the desktop the
compositor paints behind it; its edge is its own colour and clicks in a corner still pass through."""
import re

from e2e import BLACK, HEIGHT, RED, WIDTH, Screenshot, XDisplay, check, is_colour, main, main_window, run
from e2e import start_ready_client, wait_until


def window_under(x, y):
    run("xdotool", "mousemove", str(x), str(y))
    under = re.search(r"^WINDOW=(\d+)$", run("xdotool", "getmouselocation", "--shell"), re.M)
    return int(under.group(1)) if under else None


def test():
    # The program looks for a compositor once, when it makes the window: it must own its selection by then.
    with XDisplay() as display:
        wait_until(lambda: display.selection_owner("_NET_WM_CM_S0"), "the compositor to own _NET_WM_CM_S0")
    with start_ready_client():
        window, left = main_window()
        depth = re.search(r"Depth: (\d+)", run("xwininfo", "-id", str(window)))
        check(depth and depth.group(1) == "32", f"the window's depth is {depth and depth.group(1)}, not 32")

        def probe():
            shot = Screenshot()
            return shot if is_colour(shot.at(left + WIDTH // 2, 0), RED) else None
        shot = wait_until(probe, "the compositor to show the red frame")
        desktop = shot.at(0, shot.height - 1)
        check(not is_colour(desktop, BLACK), f"the compositor paints the desktop {desktop}: black corners would pass")
        right, bottom = left + WIDTH - 1, HEIGHT - 1
        for x, y in [(left, 0), (right, 0), (left, bottom), (right, bottom), (left + 2, 2)]:
            check(shot.at(x, y) == desktop, f"corner pixel {x},{y} is {shot.at(x, y)}, not the desktop's {desktop}")
        for x, y in [(left + 8, 8), (right - 8, bottom - 8)]:
            check(is_colour(shot.at(x, y), RED), f"pixel {x},{y} just inside the curve is {shot.at(x, y)}, not red")
        check(window_under(left, 0) != window, "a click in the corner would reach the window")
        check(window_under(left + 8, 8) == window, "a click just inside the curve would not reach the window")


if __name__ == "__main__":
    main(test)
