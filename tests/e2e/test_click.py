"""Mouse buttons reach the program with the screen position and the MK_ flags Windows would report."""
import re

from e2e import check, click_main, main, main_window, start_ready_client, xdotool


def test():
    with start_ready_client() as client:
        window, left = main_window()
        x, y = left + 100, 120
        xdotool("mousemove", x, y, "click", 1)
        client.expect(rf"down 1 {x} {y} 0x0001 main")
        client.expect(rf"up 1 {x} {y} 0x0000 main")

        # A press reports the state after it (its own button included), a release the state without it.
        xdotool("keydown", "shift", "click", 1, "keyup", "shift")
        client.expect(rf"down 1 {x} {y} 0x0005 main")
        client.expect(rf"up 1 {x} {y} 0x0004 main")
        xdotool("keydown", "ctrl", "click", 3, "keyup", "ctrl")
        client.expect(rf"down 3 {x} {y} 0x000a main")
        client.expect(rf"up 3 {x} {y} 0x0008 main")
        xdotool("click", 2)
        client.expect(rf"down 2 {x} {y} 0x0010 main")
        client.expect(rf"up 2 {x} {y} 0x0000 main")

        # A drag: moves carry the held button.
        xdotool("mousedown", 1, "mousemove", x + 20, y + 30, "mouseup", 1)
        client.expect(rf"move {x + 20} {y + 30} 0x0001 main")
        client.expect(rf"up 1 {x + 20} {y + 30} 0x0000 main")

        # The wheel is not a button of the program, and the cut-away corner is not the window.
        mark = len(client.seen)
        xdotool("click", 4, "click", 5, "mousemove", left + 1, 1, "click", 1, "mousemove", x, y, "click", 3)
        client.expect(rf"up 3 {x} {y} 0x0000 main")
        stray = [line for line in client.seen[mark:]
                 if re.match(r"(down|up) ", line) and not line.startswith(("down 3 ", "up 3 "))]
        check(not stray, f"unexpected button lines: {stray}")


if __name__ == "__main__":
    main(test)
