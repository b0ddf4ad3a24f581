"""The tray icon docks into a real tray host at a usable size, shows its picture, and the mouse over it reaches the
program as the tray callback messages; removing it takes it out of the tray."""
from e2e import Screenshot, check, click_main, docked_tray_icon, is_colour, main, main_window, press_key
from e2e import start_ready_client, wait_until, windows, xdotool

YELLOW, BLUE = (255, 215, 0), (32, 80, 224)


def test():
    with start_ready_client() as client:
        icon, info = docked_tray_icon()
        cx, cy = info["x"] + info["width"] // 2, info["y"] + info["height"] // 2

        def painted():
            shot = Screenshot()
            return shot if is_colour(shot.at(cx, cy), YELLOW) else None
        shot = wait_until(painted, "the icon's picture in the tray")
        check(is_colour(shot.at(info["x"] + info["width"] // 8 + 1, cy), BLUE),
              f"the icon's body should be blue: {shot.at(info['x'] + info['width'] // 8 + 1, cy)}")
        check(not is_colour(shot.at(info["x"], info["y"]), BLUE, 40), "the icon's rim should show the tray")

        xdotool("mousemove", cx, cy, "click", 3)
        client.expect(rf"tray 0x204 {cx} {cy}")
        client.expect(rf"tray 0x205 {cx} {cy}")
        xdotool("click", 1)
        client.expect(rf"tray 0x201 {cx} {cy}")
        client.expect(rf"tray 0x202 {cx} {cy}")

        window, left = main_window()
        click_main(client, left)
        press_key(client, "r")
        client.expect("tray removed")
        wait_until(lambda: all(w != icon for w, _, _ in windows()), "the icon to leave the tray")
        check("X error" not in client.stderr(), client.stderr())


if __name__ == "__main__":
    main(test)
