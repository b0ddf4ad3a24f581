"""The window is a rounded rectangle: its corners show what is behind it, its edges are its own pixels, also after
it has been hidden and shown again without the program painting anything."""
import sys

from e2e import BLACK, HEIGHT, INSET, RED, Screenshot, WHITE, WIDTH, check, click_main, is_colour, main, main_window
from e2e import press_key, start_ready_client, wait_until, xdotool


def check_picture(left):
    def probe():
        shot = Screenshot()
        return shot if is_colour(shot.at(left + WIDTH // 2, 0), RED) else None
    shot = wait_until(probe, "the red frame on the screen")
    right, bottom = left + WIDTH - 1, HEIGHT - 1
    expected = {
        # The four corners are cut away: the black root window shows.
        (left, 0): BLACK, (right, 0): BLACK, (left, bottom): BLACK, (right, bottom): BLACK,
        (left + 2, 2): BLACK, (right - 2, bottom - 2): BLACK,
        # Just inside the curve, and the middle of every edge, are the window's red.
        (left + 8, 8): RED, (right - 8, bottom - 8): RED,
        (left + WIDTH // 2, 0): RED, (left, HEIGHT // 2): RED, (right, HEIGHT // 2): RED,
        (left + WIDTH // 2, bottom): RED,
        # The white inner area starts exactly INSET pixels in.
        (left + INSET - 1, HEIGHT // 2): RED, (left + INSET, HEIGHT // 2): WHITE,
        (left + WIDTH // 2, HEIGHT // 2): WHITE,
        # Nothing leaks outside.
        (left - 1, HEIGHT // 2): BLACK, (right + 1, HEIGHT // 2): BLACK, (left + WIDTH // 2, bottom + 1): BLACK,
    }
    for (x, y), colour in expected.items():
        check(is_colour(shot.at(x, y), colour), f"pixel {x},{y} is {shot.at(x, y)}, expected {colour}")


def test():
    # "drop-in": the window starts fully above the screen, where it gets no Expose, and slides down.
    drop_in = len(sys.argv) > 2 and sys.argv[2] == "drop-in"
    with start_ready_client(*(["--drop-in"] if drop_in else [])) as client:
        if drop_in:
            client.expect(r"dropped \d+ 0")
        window, left = main_window()
        check_picture(left)
        # Hidden and shown again, the window is repainted from the backend's own copy.
        click_main(client, left)
        press_key(client, "h")
        client.expect("shown again")
        main_window()
        check_picture(left)


if __name__ == "__main__":
    main(test)
