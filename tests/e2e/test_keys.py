"""Keys reach the program as Windows virtual-key codes."""
from e2e import KEY_PATIENCE, check, click_main, main, main_window, press_key, start_ready_client, xdotool

KEYS = [("Return", 0x0D), ("Escape", 0x1B), ("Tab", 0x09), ("Left", 0x25), ("Up", 0x26), ("Right", 0x27),
        ("Down", 0x28), ("a", 0x41), ("z", 0x5A), ("0", 0x30), ("9", 0x39), ("space", 0x20), ("F1", 0x70)]


def test():
    with start_ready_client() as client:
        window, left = main_window()
        click_main(client, left)
        for name, code in KEYS:
            xdotool("key", name)
            client.expect(rf"key 0x{code:02x} 0x0000 main", timeout=KEY_PATIENCE)
        # With Shift held the code is still the key's, and the flags say Shift.
        xdotool("key", "shift+b")
        client.expect(r"key 0x42 0x0004 main", timeout=KEY_PATIENCE)
        press_key(client, "q")
        check(client.wait_exit() == 0, "Q should end the client with status 0")


if __name__ == "__main__":
    main(test)
