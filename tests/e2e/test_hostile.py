"""Another client of the display plays rough with the backend's windows.

    test_hostile.py CLIENT messages   forged WM_PROTOCOLS messages mean nothing; a real ping is answered on the
                                      root window, as EWMH wants
    test_hostile.py CLIENT destroy    the dialog and then the main window destroyed from outside: the backend
                                      reports each once, makes no request on them afterwards, and the client
                                      ends on the main window's loss
"""
import sys

from e2e import XDisplay, check, click_main, find_window, main, main_window, press_key, start_ready_client
from e2e import wait_uncovered, wait_until, windows, xdotool


def forged_messages():
    with start_ready_client() as client:
        window, left = main_window()
        with XDisplay() as x:
            delete = x.atom("WM_DELETE_WINDOW")
            # Format 16 and 8 with bytes that a reader of data.l[0] would take for WM_DELETE_WINDOW, and a
            # format-32 message of the wrong type that carries it.
            x.send_client_message(window, "WM_PROTOCOLS", [delete & 0xFFFF, delete >> 16], format=16)
            x.send_client_message(window, "WM_PROTOCOLS", [(delete >> (8 * i)) & 0xFF for i in range(4)], format=8)
            x.send_client_message(window, "WM_STATE", [delete])
            x.send_client_message(window, "WM_PROTOCOLS", [0x7FFFFFF0])
            # The ping comes after them, so its reply proves they have been read.
            reply = x.ping(window, 4242)
            root = x.root_window()
            check(reply[0] == root, f"the ping's reply went to 0x{reply[0]:x}, not the root window 0x{root:x}")
            check(reply[1] == x.atom("WM_PROTOCOLS") and reply[3][2] == window,
                  f"the reply should be the ping itself: {reply}")
            check(client.proc.poll() is None and not any(line.startswith("close") for line in client.seen),
                  f"a forged message closed the client: {client.seen}")
            x.send_delete_window(window)
        client.expect(r"close main")
        check(client.wait_exit() == 0, "the real close request should end the client")


def destroyed_windows():
    with start_ready_client() as client:
        window, left = main_window()
        click_main(client, left)
        press_key(client, "d")
        client.expect(r"dialog \d+ \d+")
        dialog = find_window(r"^About Tilvane")
        with XDisplay() as x:
            x.destroy_window(dialog)
            client.expect(r"destroyed dialog")
            # Still alive, still answering: another round of input reaches it, once nothing of the dialog is left
            # where the click goes.
            wait_uncovered(window, left + 100, 120)
            click_main(client, left)
            x.destroy_window(window)
            client.expect(r"destroyed main")
        check(client.wait_exit() == 1, "the loss of the main window should end the client with status 1")
        check("destroyed window" in client.stderr(), f"the client should say why: {client.stderr()!r}")
        wait_until(lambda: all(w not in (window, dialog) for w, _, _ in windows()), "the windows to be gone")


SCENES = {"messages": forged_messages, "destroy": destroyed_windows}

if __name__ == "__main__":
    main(SCENES[sys.argv[2]])
