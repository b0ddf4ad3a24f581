"""With no tray host the icon waits quietly; it docks when a host starts later, goes quietly when the host dies,
and docks again into the next one."""
import os
import signal
import subprocess

from e2e import XDisplay, check, click_main, docked_tray_icon, main, main_window, start_ready_client, wait_until
from e2e import windows, xdotool


def start_trayer():
    return subprocess.Popen(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                             "--height", "24"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop(process):
    if process.poll() is None:
        os.kill(process.pid, signal.SIGTERM)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.kill(process.pid, signal.SIGKILL)
            process.wait()


def no_icon():
    return all(name != "Tilvane tray icon" for _, name, _ in windows())


def test():
    with XDisplay() as x:
        check(x.tray_owner() == 0, "this test needs a display without a tray host")
    with start_ready_client() as client:
        window, left = main_window()
        check(no_icon(), "without a tray host there must be no icon window")

        tray = start_trayer()
        try:
            docked_tray_icon()
            # The host dies (SIGKILL: no chance to hand the icon back politely).
            os.kill(tray.pid, signal.SIGKILL)
            tray.wait()
            wait_until(no_icon, "the icon to go with its host")
            click_main(client, left)
            check("X error" not in client.stderr(), f"the vanished host caused errors: {client.stderr()}")

            tray = start_trayer()
            icon, info = docked_tray_icon()
            cx, cy = info["x"] + info["width"] // 2, info["y"] + info["height"] // 2
            xdotool("mousemove", cx, cy, "click", 3)
            client.expect(rf"tray 0x204 {cx} {cy}")
        finally:
            stop(tray)
        check(client.proc.poll() is None, "the client must outlive its tray hosts")


if __name__ == "__main__":
    main(test)
