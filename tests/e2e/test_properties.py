"""The main window tells the desktop what it is: no decorations, no taskbar or pager entry, its class, name, icon,
process and a fixed size at a position of its own choosing."""
from e2e import HEIGHT, WIDTH, check, main, main_window, start_ready_client, xprop


def test():
    with start_ready_client() as client:
        window, left = main_window()
        props = xprop(window)

        def has(text):
            check(text in props, f"xprop lacks {text!r}:\n{props}")

        state = xprop(window, "_NET_WM_STATE")
        check("_NET_WM_STATE_SKIP_TASKBAR" in state and "_NET_WM_STATE_SKIP_PAGER" in state, state)
        has('WM_CLASS(STRING) = "tilvane", "Tilvane"')
        has("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x2, 0x0, 0x0, 0x0, 0x0")
        has(f"_NET_WM_PID(CARDINAL) = {client.pid}")
        has("WM_DELETE_WINDOW")
        has('_NET_WM_NAME(UTF8_STRING) = "Tilvane client パズル"')
        has("_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL")
        has("Icon (16 x 16)")
        has("Icon (32 x 32)")
        has(f"user specified location: {left}, 0")
        has(f"program specified minimum size: {WIDTH} by {HEIGHT}")
        has(f"program specified maximum size: {WIDTH} by {HEIGHT}")


if __name__ == "__main__":
    main(test)
