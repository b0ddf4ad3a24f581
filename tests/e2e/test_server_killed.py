"""When the X server dies the client ends promptly with status 1 and says why, instead of hanging."""
import os
import signal

from e2e import check, main, main_window, start_ready_client


def test():
    with start_ready_client() as client:
        main_window()
        os.kill(int(os.environ["TILVANE_E2E_XVFB_PID"]), signal.SIGKILL)
        status = client.wait_exit(timeout=10)
        check(status == 1, f"status {status} after the server died")
        message = client.stderr()
        check("lost the connection" in message and os.environ["DISPLAY"] in message,
              f"the message should name the lost display: {message!r}")


if __name__ == "__main__":
    main(test)
