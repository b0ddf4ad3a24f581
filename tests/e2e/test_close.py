"""The desktop's close request (WM_DELETE_WINDOW) reaches the program, which then ends.

    test_close.py CLIENT message   sends the request itself, as any window manager would
    test_close.py CLIENT wm-key    lets the running window manager send it (Alt+F4)
"""
import sys

from e2e import XDisplay, check, click_main, close_by_window_manager, main, main_window, start_ready_client


def test():
    how = sys.argv[2] if len(sys.argv) > 2 else "message"
    with start_ready_client() as client:
        window, left = main_window()
        if how == "wm-key":
            click_main(client, left)
            close_by_window_manager(client, r"close main")
        else:
            with XDisplay() as x:
                x.send_delete_window(window)
            client.expect(r"close main")
        check(client.wait_exit() == 0, "the client should end with status 0 after the close request")


if __name__ == "__main__":
    main(test)
