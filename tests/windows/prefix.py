"""Boots the throw-away Wine prefix the tests share, with Japanese font replacements, or ends its wineserver.

Usage: prefix.py boot DIR | prefix.py stop DIR. DIR holds the prefix ("wine"), its own HOME ("home") and the
logs; "boot" starts from an empty DIR, so a run never inherits an older run's state, and "stop" removes the
prefix again."""
import os
import shutil
import subprocess
import sys
import time

from wine import Failure, check, require_tools, run_wine, stop_server, wine_env

# The Japanese faces the program and its dialogs ask for, by their Japanese and English names, mapped to the
# IPA fonts (their family names as fontconfig knows them): the fixed-pitch Gothic to IPAGothic, the
# proportional ones to IPAPGothic.
FONT_REPLACEMENTS = {
    "ＭＳ ゴシック": "IPAGothic",
    "MS Gothic": "IPAGothic",
    "ＭＳ Ｐゴシック": "IPAPGothic",
    "MS PGothic": "IPAPGothic",
    "MS UI Gothic": "IPAPGothic",
}


def replacements_reg():
    """The font replacements as a .reg file, which regedit reads as UTF-16 (little endian, with a BOM)."""
    lines = ["Windows Registry Editor Version 5.00", "",
             r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
    lines += [f'"{face}"="{font}"' for face, font in FONT_REPLACEMENTS.items()]
    return ("\r\n".join(lines) + "\r\n").encode("utf-16")


def check_fonts_installed():
    listed = subprocess.run(["fc-list", ":", "family"], capture_output=True, text=True, timeout=30).stdout
    families = {name for line in listed.splitlines() for name in line.split(",")}
    missing = [font for font in FONT_REPLACEMENTS.values() if font not in families]
    check(not missing, f"fontconfig knows no {missing} (scripts/deps installs fonts-ipafont-gothic)")


def boot(folder):
    check_fonts_installed()
    if os.path.exists(folder):
        if os.path.isfile(os.path.join(folder, "wine", "system.reg")):
            stop_server(folder)  # a prefix left over from an interrupted run
        shutil.rmtree(folder)
    os.makedirs(os.path.join(folder, "home"))
    log = os.path.join(folder, "boot.log")
    started = time.monotonic()
    # No display: the boot needs none, and shows no window.
    env_display = os.environ.pop("DISPLAY", None)
    try:
        run_wine(folder, "wineboot", "-i", log=log, timeout=120)
        reg = os.path.join(folder, "font-replacements.reg")
        with open(reg, "wb") as out:
            out.write(replacements_reg())
        run_wine(folder, "wine", "regedit", "/S", reg, log=log)
        # The server writes the registry to disk as it ends; the tests then start from the saved prefix.
        stop_server(folder)
    finally:
        if env_display is not None:
            os.environ["DISPLAY"] = env_display
    with open(os.path.join(folder, "wine", "user.reg"), encoding="utf-8", errors="replace") as saved:
        check("Fonts\\\\Replacements" in saved.read(), "regedit did not store the font replacements")
    print(f"booted the Wine prefix {folder} in {time.monotonic() - started:.1f} s")


def stop(folder):
    """Ends the server and removes the prefix (some 700 MB); the logs stay."""
    if os.path.isfile(os.path.join(folder, "wine", "system.reg")):
        stop_server(folder)
    for part in ("wine", "home"):
        shutil.rmtree(os.path.join(folder, part), ignore_errors=True)
    print(f"ended the wineserver of {folder} and removed its prefix")


if __name__ == "__main__":
    require_tools()
    actions = {"boot": boot, "stop": stop}
    if len(sys.argv) != 3 or sys.argv[1] not in actions:
        print("usage: prefix.py boot|stop DIR", file=sys.stderr)
        sys.exit(2)
    try:
        actions[sys.argv[1]](os.path.abspath(sys.argv[2]))
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
