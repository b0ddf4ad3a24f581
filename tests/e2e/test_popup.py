"""A popup menu opens at the cursor above everything, grabs the pointer and the keyboard while it is tracked, and
the window beneath is repainted from the backend's copy when it closes."""
from e2e import Screenshot, WHITE, check, click_main, find_window, is_colour, main, main_window, press_key
from e2e import start_ready_client, wait_for_geometry, wait_until, window_info, xdotool


def test():
    with start_ready_client() as client:
        window, left = main_window()
        click_main(client, left, 40, 60)
        press_key(client, "p")
        opened = client.expect(r"popup (\d+) (\d+)")
        at = (int(opened[1]), int(opened[2]))
        check(at == (left + 40, 60), f"the popup opened at {at}, not at the cursor {left + 40},60")
        popup = find_window(r"^Tilvane popup$")
        wait_for_geometry(popup, at[0], at[1], 120, 80)
        check(window_info(popup)["override_redirect"], "a popup menu must be override-redirect")

        # The keyboard grab sends keys to the menu; the pointer grab brings it a press far outside.
        xdotool("key", "x")
        client.expect(r"key 0x58 0x0000 popup")
        xdotool("mousemove", 900, 700, "click", 1)
        client.expect(r"down 1 900 700 0x0001 popup")
        client.expect(r"popup closed")

        # Where the menu was, the main window's white shows again without the program painting.
        def probe():
            return is_colour(Screenshot().at(at[0] + 60, at[1] + 40), WHITE)
        wait_until(probe, "the main window repainted where the menu was")

        # With the grab released, input goes where the pointer is again.
        click_main(client, left)


if __name__ == "__main__":
    main(test)
