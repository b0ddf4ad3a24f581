"""A pointer for a headless wlroots compositor, which has no input device of its own: a Wayland client that
makes a virtual pointer (zwlr_virtual_pointer_manager_v1) and clicks with it where it is told.

Reads lines "click X Y BUTTON" (BUTTON 1 to 3, X and Y in layout pixels) or "drag X0 Y0 X1 Y1" (the left button
held from one point to the other, in ten steps) on stdin and answers "done" once the compositor has taken the
events; says "ready" first. Speaks the Wayland wire format itself, which is small."""
import os
import socket
import struct
import sys
import time

WIDTH, HEIGHT = int(sys.argv[1]), int(sys.argv[2])
BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # BTN_LEFT, BTN_MIDDLE, BTN_RIGHT


class Connection:
    def __init__(self):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"]))
        self.next_id, self.buffer = 2, b""

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, payload=b""):
        self.sock.sendall(struct.pack("=II", obj, (8 + len(payload)) << 16 | opcode) + payload)

    def events(self):
        """The events up to the answer of a wl_display.sync, as (object, opcode, payload)."""
        callback = self.new_id()
        self.send(1, 0, struct.pack("=I", callback))
        while True:
            while len(self.buffer) >= 8:
                obj, header = struct.unpack_from("=II", self.buffer)
                size = header >> 16
                if len(self.buffer) < size:
                    break
                payload, self.buffer = self.buffer[8:size], self.buffer[size:]
                if obj == 1 and header & 0xFFFF == 0:
                    raise SystemExit(f"virtual_pointer: the compositor reported an error: {payload!r}")
                if obj == callback:
                    return
                yield obj, header & 0xFFFF, payload
            data = self.sock.recv(65536)
            if not data:
                raise SystemExit("virtual_pointer: the compositor closed the connection")
            self.buffer += data


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("=I", len(data)) + data + b"\0" * (-len(data) % 4)


def main():
    wl = Connection()
    registry = wl.new_id()
    wl.send(1, 1, struct.pack("=I", registry))  # wl_display.get_registry
    manager_name = None
    for obj, opcode, payload in wl.events():
        if obj == registry and opcode == 0:  # wl_registry.global
            name, length = struct.unpack_from("=II", payload)
            if payload[8:8 + length - 1] == b"zwlr_virtual_pointer_manager_v1":
                manager_name = name
    if manager_name is None:
        raise SystemExit("virtual_pointer: the compositor offers no zwlr_virtual_pointer_manager_v1")
    manager, pointer = wl.new_id(), wl.new_id()
    wl.send(registry, 0, struct.pack("=I", manager_name) + string("zwlr_virtual_pointer_manager_v1") +
            struct.pack("=II", 1, manager))  # wl_registry.bind
    wl.send(manager, 0, struct.pack("=II", 0, pointer))  # create_virtual_pointer(no seat: the default one)
    list(wl.events())
    print("ready", flush=True)

    def stamp():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def move(x, y):
        wl.send(pointer, 1, struct.pack("=IIIII", stamp(), x, y, WIDTH, HEIGHT))  # motion_absolute
        wl.send(pointer, 4)  # frame
        list(wl.events())
        time.sleep(0.05)

    def button(number, state):
        wl.send(pointer, 2, struct.pack("=III", stamp(), BUTTONS[number], state))
        wl.send(pointer, 4)
        list(wl.events())
    for line in sys.stdin:
        verb, *numbers = line.split()
        numbers = [int(n) for n in numbers]
        if verb == "drag":
            x0, y0, x1, y1 = numbers
            move(x0, y0)
            button(1, 1)
            for step in range(1, 11):
                move(x0 + (x1 - x0) * step // 10, y0 + (y1 - y0) * step // 10)
            button(1, 0)
        else:
            x, y, number = numbers
            # As a hand does, the pointer moves over the point before it presses there.
            move(x - 2, y)
            move(x, y)
            button(number, 1)
            button(number, 0)
        print("done", flush=True)


if __name__ == "__main__":
    main()
