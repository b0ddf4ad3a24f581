"""A dialog is transient for its owner, has a fixed size, a UTF-8 title and (under a window manager) a frame,
and its client area lands exactly where the program put it; the desktop's close request reaches the program."""
from e2e import XDisplay, check, click_main, close_by_window_manager, find_window, has_window_manager, main
from e2e import main_window, press_key, run, start_ready_client, wait_for_geometry, wait_until, windows, xdotool
from e2e import xprop


def test():
    with start_ready_client() as client:
        window, left = main_window()
        click_main(client, left)
        press_key(client, "d")
        opened = client.expect(r"dialog (\d+) (\d+)")
        dialog = find_window(r"^About Tilvane")
        wait_for_geometry(dialog, int(opened[1]), int(opened[2]), 200, 100)
        props = xprop(dialog)
        for text in (f"WM_TRANSIENT_FOR(WINDOW): window id # 0x{window:x}", "_NET_WM_WINDOW_TYPE_DIALOG",
                     "program specified minimum size: 200 by 100", "program specified maximum size: 200 by 100",
                     '_NET_WM_NAME(UTF8_STRING) = "About Tilvane — 情報"'):
            check(text in props, f"the dialog lacks {text!r}:\n{props}")
        if has_window_manager():
            extents = xprop(dialog, "_NET_FRAME_EXTENTS").split("=")[1].split(",")
            check(int(extents[2]) > 0, f"the dialog should have a title bar: {extents}")
            # The window manager's close key acts on the focused window: the dialog, once it is active.
            wait_until(lambda: run("xdotool", "getwindowfocus").strip() == str(dialog), "the dialog's focus")
            close_by_window_manager(client, r"close dialog")
        else:
            with XDisplay() as x:
                x.send_delete_window(dialog)
            client.expect(r"close dialog")
        wait_until(lambda: all(w != dialog for w, _, _ in windows()), "the dialog to go")
        check(client.proc.poll() is None, "closing the dialog must not end the client")


if __name__ == "__main__":
    main(test)
