"""The programs the tests call, each with the Debian package that brings it.

A missing program fails its test at once and names the package: a skip would let a package that scripts/deps
forgot pass for green.

    tools.py TOOL...    exits with status 1 and one line per missing program, 0 when all are there
"""
import shutil
import sys

PACKAGES = {
    "Xvfb": "xvfb",
    "xwininfo": "x11-utils",
    "xprop": "x11-utils",
    "xmessage": "x11-utils",
    "xrdb": "x11-xserver-utils",
    "xdotool": "xdotool",
    "import": "imagemagick",
    "convert": "imagemagick",
    "compare": "imagemagick",
    "openbox": "openbox",
    "icewm": "icewm",
    "xfwm4": "xfwm4",
    "xcompmgr": "xcompmgr",
    "trayer": "trayer",
    "tint2": "tint2",
    "dbus-daemon": "dbus",
    "dbus-send": "dbus",
    "dbus-monitor": "dbus",
    "setpriv": "util-linux",
    "wine": "wine",
    "wineserver": "wine",
    "fc-list": "fontconfig",
    "desktop-file-validate": "desktop-file-utils",
    "appstreamcli": "appstream",
    "man": "man-db",
    "groff": "groff-base",
    "cpack": "cmake",
    "dpkg-deb": "dpkg",
    "dpkg-shlibdeps": "dpkg-dev",
    "lintian": "lintian",
    "unshare": "util-linux",
    "xfce4-panel": "xfce4-panel",
    "gnome-shell": "gnome-shell",
    "gsettings": "libglib2.0-bin",
    "kwin_x11": "kwin-x11",
    "kded5": "kded5",
    "plasmashell": "plasma-workspace",
    "sway": "sway",
    "swaymsg": "sway",
    "grim": "grim",
    "Xwayland": "xwayland",
}


def missing(*tools):
    """What is missing of `tools`, as one sentence each that names the package to install."""
    return [f"{tool} is missing: install the Debian package {PACKAGES[tool]} (scripts/deps test installs it)"
            for tool in tools if not shutil.which(tool)]


if __name__ == "__main__":
    unknown = [tool for tool in sys.argv[1:] if tool not in PACKAGES]
    if unknown:
        print(f"tools.py: no package known for {unknown}", file=sys.stderr)
        sys.exit(2)
    lines = missing(*sys.argv[1:])
    for line in lines:
        print(line, file=sys.stderr)
    sys.exit(1 if lines else 0)
