"""Runs a GoogleTest executable of the Windows build under Wine in the test prefix and reports its result.
Usage: run_tests.py TESTS.EXE, on the display the harness made, with TILVANE_WINE_PREFIX naming a booted prefix."""
import os
import sys

from wine import WindowsProgram, require_tools, stop_server, test_prefix
from e2e import Failure, check

TIMEOUT = 90.0


def main():
    require_tools()
    exe = sys.argv[1]
    prefix = test_prefix()
    log = os.path.abspath(os.path.basename(exe) + ".log")
    try:
        with WindowsProgram(prefix, exe, log) as program:
            status = program.wait_exit(TIMEOUT)
        with open(log, encoding="utf-8", errors="replace") as text:
            output = text.read()
        print(output)
        # A program that ended before GoogleTest summed up crashed or was never run.
        check("[  PASSED  ]" in output or "[  FAILED  ]" in output, "the tests ended without a summary")
        check(status == 0, f"the tests ended with status {status}")
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    finally:
        stop_server(prefix)
    return 0


if __name__ == "__main__":
    sys.exit(main())
