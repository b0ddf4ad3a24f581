"""Without a display the client ends at once with status 1 and one line naming the display it tried."""
import os
import subprocess

from e2e import CLIENT, check, main


def run_client(env):
    result = subprocess.run([CLIENT], env=env, capture_output=True, text=True, timeout=30)
    return result.returncode, result.stderr.strip()


def test():
    number = 4242
    while os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        number += 1
    status, message = run_client(dict(os.environ, DISPLAY=f":{number}"))
    check(status == 1, f"status {status} with an unused display")
    check(f'":{number}"' in message and len(message.splitlines()) == 1, f"the message should name the display: {message!r}")

    env = dict(os.environ)
    env.pop("DISPLAY", None)
    status, message = run_client(env)
    check(status == 1, f"status {status} without DISPLAY")
    check("DISPLAY" in message, f"the message should say DISPLAY is not set: {message!r}")


if __name__ == "__main__":
    main(test)
