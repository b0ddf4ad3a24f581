"""The Windows installer under Wine: CPack makes it from this build; /S puts the program in the 64-bit Program
Files, its shortcut in the common Start menu and its entry in Apps & features (the Uninstall key in the 64-bit
registry); the installed program starts, drops in and ends with status 0 through its menu; the uninstaller
with /S leaves none of the three.

Usage: test_installer.py BUILD_DIR VERSION, on the display the harness made (under a window manager, for the
menu's keys), with TILVANE_WINE_PREFIX naming a prefix booted by prefix.py."""
import glob
import os
import subprocess
import sys
import time

from wine import PATIENCE, WindowsProgram, require_tools, run_wine, stop_server, tail, test_prefix, wine_env
from e2e import check, main, wait_until
import test_wine

BUILD, VERSION = (sys.argv[1:3] + ["", ""])[:2]
INSTALL_DIR = r"C:\Program Files\Tilvane"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tilvane"


def drive_c(prefix, *parts):
    return os.path.join(prefix, "wine", "drive_c", *parts)


def installed_files(prefix):
    """The program and its shortcut, as files of the prefix."""
    return {"the program": drive_c(prefix, "Program Files", "Tilvane", "tilvane.exe"),
            "the shortcut": drive_c(prefix, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                                    "Tilvane.lnk")}


def uninstall_entry(prefix):
    """The values of the Uninstall key in the 64-bit registry, or None when there is no such key."""
    log = os.path.abspath("installer-reg.log")
    with open(log, "wb") as out:
        status = subprocess.run(["wine", "reg", "query", UNINSTALL_KEY, "/reg:64"], env=wine_env(prefix),
                                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                timeout=PATIENCE).returncode
    if status == 1:
        return None  # reg's answer for a key that is not there
    check(status == 0, f"reg query {UNINSTALL_KEY} ended with status {status}; {tail(log)}")
    values = {}
    with open(log, encoding="utf-8", errors="replace") as text:
        for line in text:
            parts = line.strip().split(None, 2)
            if len(parts) == 3 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2]
    return values


def make_installer():
    started = time.monotonic()
    subprocess.run(["cpack", "-G", "NSIS", "--config", os.path.join(BUILD, "CPackConfig.cmake")], check=True,
                   cwd=BUILD, stdout=subprocess.DEVNULL, timeout=120)
    setup = os.path.join(BUILD, f"tilvane-{VERSION}-windows-x86_64-setup.exe")
    check(os.path.isfile(setup), f"cpack made no {setup}")
    print(f"{setup}: {os.path.getsize(setup)} bytes, made in {time.monotonic() - started:.1f} s")
    return setup


def check_entry(entry):
    check(entry is not None, f"the installer registered no {UNINSTALL_KEY}")
    wanted = {"DisplayName": "Tilvane", "DisplayVersion": VERSION, "DisplayIcon": INSTALL_DIR + r"\tilvane.exe",
              "UninstallString": f'"{INSTALL_DIR}\\Uninstall.exe"', "NoModify": "0x1", "NoRepair": "0x1"}
    wrong = {name: entry.get(name) for name, value in wanted.items() if entry.get(name) != value}
    check(not wrong, f"the Uninstall key has {wrong}, wanted {wanted}")
    check(entry.get("Publisher"), "the Uninstall key names no publisher")
    check(int(entry.get("EstimatedSize", "0"), 16) > 0, f"the Uninstall key has no size: {entry}")


def run_installed(prefix, exe):
    """The installed program drops in, and its menu's 終了 ends it with status 0."""
    test_wine.SCENE = "installer"
    with WindowsProgram(prefix, exe, os.path.abspath("wine-installer.log")) as program:
        test_wine.watch_drop_in(program)
        test_wine.shot("installed")
        menu, _ = test_wine.open_menu(program)
        test_wine.choose(program, menu, ["Down"] * 7, then=lambda: None)  # 終了
        status = program.wait_exit(PATIENCE)
    check(status == 0, f"the installed program ended with status {status}")


def installer():
    prefix = test_prefix()
    setup = make_installer()
    log = os.path.abspath("installer.log")
    started = time.monotonic()
    # A silent install has finished when wine returns.
    run_wine(prefix, "wine", setup, "/S", log=log, timeout=60)
    print(f"installed in {time.monotonic() - started:.1f} s")
    files = installed_files(prefix)
    missing = [what for what, path in files.items() if not os.path.isfile(path)]
    check(not missing, f"after the install there is no {missing}; the prefix's Start menu holds "
                       f"{glob.glob(drive_c(prefix, 'ProgramData', '**', '*.lnk'), recursive=True)}")
    check_entry(uninstall_entry(prefix))
    run_installed(prefix, files["the program"])

    # The uninstaller copies itself away and returns at once: what it removes goes a little later.
    started = time.monotonic()
    run_wine(prefix, "wine", INSTALL_DIR + r"\Uninstall.exe", "/S", log=log)

    def removed():
        left = [what for what, path in files.items() if os.path.exists(path)]
        return not left and not os.path.exists(drive_c(prefix, "Program Files", "Tilvane")) and \
            uninstall_entry(prefix) is None
    wait_until(removed, "the uninstaller to remove the program, its folder, its shortcut and its Uninstall key",
               PATIENCE)
    print(f"uninstalled in {time.monotonic() - started:.1f} s")


if __name__ == "__main__":
    require_tools()
    if not os.path.isdir(BUILD) or not VERSION:
        print("usage: test_installer.py BUILD_DIR VERSION", file=sys.stderr)
        sys.exit(2)

    def isolated():
        try:
            installer()
        finally:
            stop_server(test_prefix())
    main(isolated)
