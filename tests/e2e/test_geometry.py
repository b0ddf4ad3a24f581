"""The main window appears exactly where and as large as the program puts it, and follows its moves."""
from e2e import HEIGHT, WIDTH, check, click_main, has_window_manager, main, main_window, press_key
from e2e import start_ready_client, wait_for_geometry, window_info, xdotool, xprop


def test():
    with start_ready_client() as client:
        window, left = main_window()
        check(not window_info(window)["override_redirect"], "the main window must be managed, not override-redirect")
        if has_window_manager():
            # No title bar and no border: the frame adds nothing around the window.
            check("= 0, 0, 0, 0" in xprop(window, "_NET_FRAME_EXTENTS"),
                  f"the window manager decorates the window: {xprop(window, '_NET_FRAME_EXTENTS')}")
        click_main(client, left)
        # M moves the window five times by 10, 10 in a blocking loop that sleeps between the steps.
        press_key(client, "m")
        moved = client.expect(r"moved (-?\d+) (-?\d+)")
        check((int(moved[1]), int(moved[2])) == (left + 50, 50), f"the client reports {moved[0]}")
        wait_for_geometry(window, left + 50, 50, WIDTH, HEIGHT)


if __name__ == "__main__":
    main(test)
