"""Measures the backend client's start-up: from exec to its first frame reaching the server, and its peak RSS.

Run it on a display of its own, for example:
    tests/e2e/harness.sh -- python3 tests/e2e/measure_startup.py build/default/tests/e2e/x11_backend_client 21

The client prints the monotonic clock once the server has processed its first frame (it presents, then
waits for the server with a round trip), and its peak resident set; the clock is read here just before
the spawn. Figures are medians.
This is a measurement, not a test: it never fails on the numbers.
"""
import statistics
import subprocess
import sys
import time


def one_run(client):
    start_us = time.monotonic_ns() // 1000
    process = subprocess.Popen([client, "--first-frame"], stdout=subprocess.PIPE, text=True)
    output, _ = process.communicate()
    if process.returncode != 0:
        raise SystemExit(f"the client failed with status {process.returncode}")
    # rusage would not do for the peak: Python spawns with vfork, whose child is charged the parent's
    # size at exec. The client reports its own VmHWM instead.
    values = dict(line.split() for line in output.splitlines())
    return (int(values["presented"]) - start_us) / 1000.0, int(values["peak-rss-kib"]) / 1024.0


def main():
    client = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 21
    one_run(client)  # warms the page cache and the server
    results = [one_run(client) for _ in range(runs)]
    times = [t for t, _ in results]
    rss = [r for _, r in results]
    print(f"runs: {runs}")
    print(f"exec -> first frame at the server: median {statistics.median(times):.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f})")
    print(f"peak RSS: median {statistics.median(rss):.2f} MiB (min {min(rss):.2f}, max {max(rss):.2f})")


if __name__ == "__main__":
    main()
