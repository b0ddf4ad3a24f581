"""The window shows the program's colour cursor with its hot spot, and the desktop's arrow when asked for none."""
from e2e import XDisplay, click_main, main, main_window, press_key, start_ready_client, wait_until, xdotool

GREEN = 0xFF00A000


def is_crosshair(cursor):
    width, height, hot_x, hot_y, pixels = cursor
    return (width, height, hot_x, hot_y) == (17, 17, 8, 8) and pixels[8 * 17 + 8] == GREEN and pixels[0] == 0


def test():
    with start_ready_client() as client, XDisplay() as x:
        window, left = main_window()
        click_main(client, left)
        wait_until(lambda: is_crosshair(x.cursor()), "the crosshair over the window")
        press_key(client, "c")
        client.expect("cursor default")
        wait_until(lambda: not is_crosshair(x.cursor()), "the default cursor")
        # Back to the picture: the cached cursor serves again.
        press_key(client, "c")
        client.expect("cursor crosshair")
        wait_until(lambda: is_crosshair(x.cursor()), "the crosshair again")
        # Outside the window the cursor is not ours.
        xdotool("mousemove", 5, 700)
        wait_until(lambda: not is_crosshair(x.cursor()), "the root window's cursor outside the window")


if __name__ == "__main__":
    main(test)
