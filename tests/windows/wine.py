"""Shared helpers of the tests under Wine: the throw-away prefix's environment and the Windows program run in it.

Wine's output goes to files, never to pipes: a pipe held open by the wineserver would keep a reader waiting
until the server itself ends."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e import Failure, check  # noqa: E402
from tools import missing  # noqa: E402

PREFIX_VARIABLE = "TILVANE_WINE_PREFIX"
PATIENCE = 20.0  # seconds before a Wine command counts as hung


def wine_env(prefix):
    """The environment of every Wine command on the test prefix: its own HOME, no Mono or Gecko installer, no
    menu entries written into the desktop, and no debug chatter."""
    prefix = os.path.abspath(prefix)
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": os.path.join(prefix, "wine"),
        "HOME": os.path.join(prefix, "home"),
        "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
        "WINEDEBUG": "-all",
        "WINEARCH": "win64",
        # The tools' own messages stay readable; the program itself only uses Unicode calls.
        "LC_ALL": "C.UTF-8",
    })
    return env


def test_prefix():
    """The prefix the ctest fixture booted, named by the environment."""
    prefix = os.environ.get(PREFIX_VARIABLE, "")
    check(prefix and os.path.isfile(os.path.join(prefix, "wine", "system.reg")),
          f"no booted Wine prefix in ${PREFIX_VARIABLE} ({prefix!r}): run prefix.py boot DIR first")
    return prefix


def require_tools():
    """Fails at once, naming the package, when Wine is not installed."""
    lacking = missing("wine", "wineserver", "fc-list")
    if lacking:
        print("\n".join(lacking), file=sys.stderr)
        sys.exit(1)


def run_wine(prefix, *command, log, timeout=PATIENCE):
    """Runs a Wine command to its end, its output into `log`; fails with the log's tail if it fails or hangs."""
    with open(log, "ab") as out:
        try:
            status = subprocess.run(command, env=wine_env(prefix), stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=subprocess.STDOUT, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            raise Failure(f"{' '.join(command)} still ran after {timeout} s; {tail(log)}")
    check(status == 0, f"{' '.join(command)} ended with status {status}; {tail(log)}")


def tail(log, lines=8):
    try:
        with open(log, encoding="utf-8", errors="replace") as text:
            return "its output ended with: " + " | ".join(text.read().splitlines()[-lines:])
    except OSError:
        return "it wrote nothing"


def stop_server(prefix):
    """Ends the prefix's wineserver and every Windows process of it; waits until the server is gone."""
    env = wine_env(prefix)
    subprocess.run(["wineserver", "-k"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=PATIENCE)
    try:
        subprocess.run(["wineserver", "-w"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=PATIENCE)
    except subprocess.TimeoutExpired:
        raise Failure(f"the wineserver of {prefix} did not end within {PATIENCE} s")


class WindowsProgram:
    """A Windows executable run by Wine on the current display, ended whatever happens."""

    def __init__(self, prefix, exe, log, *args):
        self.log = log
        self._out = open(log, "wb")
        self.proc = subprocess.Popen(["wine", exe, *args], env=wine_env(prefix), stdin=subprocess.DEVNULL,
                                     stdout=self._out, stderr=subprocess.STDOUT)
        self.started = time.monotonic()

    def __enter__(self):
        return self

    def __exit__(self, kind, value, traceback):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=10)
        self._out.close()

    def check_running(self):
        """Fails at once, with what Wine said, when the program has already ended."""
        status = self.proc.poll()
        check(status is None, f"the program ended early with status {status}; {tail(self.log)}")

    def wait_exit(self, timeout=PATIENCE):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program still ran {timeout} s after it was told to end")
