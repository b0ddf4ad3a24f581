"""Tilvane as installed: the tree of `cmake --install` in a temporary DESTDIR, with its validators; the installed
program's command line; its start from the desktop entry on an X display; and the Debian package.

Usage: test_install.py CHECK, where CHECK is one of the functions named in CHECKS below. The build directory, the
application id and the version come from TILVANE_BUILD_DIR, TILVANE_APP_ID and TILVANE_VERSION.
Exit status: 0 passed, 1 failed (a missing tool among the failures: the message names its Debian package).
"""
import configparser
import os
import re
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from e2e import Failure, XDisplay, check, find_window, main, run, wait_until, window_info  # noqa: E402
from tools import missing  # noqa: E402

BUILD = os.environ.get("TILVANE_BUILD_DIR", "")
APP_ID = os.environ.get("TILVANE_APP_ID", "")
VERSION = os.environ.get("TILVANE_VERSION", "")
PREFIX = "/usr"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
# The icon's pixel art has four colours and transparency; a crisp enlargement adds none.
ICON_COLOURS = 5
# The tools read and print UTF-8 whatever the caller's locale.
UTF8 = dict(os.environ, LC_ALL="C.UTF-8")


def need(*tools):
    lacking = missing(*tools)
    check(not lacking, "; ".join(lacking))


def expected_files():
    """Every file an installation holds, relative to the prefix."""
    files = {
        "bin/tilvane",
        f"share/applications/{APP_ID}.desktop",
        f"share/metainfo/{APP_ID}.metainfo.xml",
        "share/man/man6/tilvane.6",
        "share/doc/tilvane/copyright",
        "share/doc/tilvane/changelog",
    }
    files |= {f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png" for n in ICON_SIZES}
    return files


def files_under(root):
    found = set()
    for folder, _, names in os.walk(root):
        found |= {os.path.relpath(os.path.join(folder, name), root) for name in names}
    return found


class Installation:
    """`cmake --install` of the build into a temporary DESTDIR, removed afterwards."""

    def __enter__(self):
        check(BUILD and os.path.isdir(BUILD), f"no build directory: {BUILD!r}")
        self.destdir = tempfile.mkdtemp(prefix="tilvane-install.")
        result = subprocess.run(["cmake", "--install", BUILD, "--prefix", PREFIX],
                                env=dict(os.environ, DESTDIR=self.destdir), capture_output=True, text=True,
                                timeout=60)
        check(result.returncode == 0, f"cmake --install failed: {result.stderr}")
        self.root = self.destdir + PREFIX
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.destdir, ignore_errors=True)

    def path(self, relative):
        return os.path.join(self.root, relative)


def desktop_entry(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str  # keys are case-sensitive
    with open(path, encoding="utf-8") as file:
        parser.read_file(file)
    check(parser.sections() == ["Desktop Entry"], f"one [Desktop Entry] group: {parser.sections()}")
    return parser["Desktop Entry"]


def png_header(path):
    """Width, height, bit depth and colour type of a PNG file."""
    with open(path, "rb") as file:
        head = file.read(33)
    check(head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", f"{path} is not a PNG file")
    return struct.unpack(">IIBB", head[16:26])


def validator_output(*command):
    """Runs a validator and returns what it printed; a failing status fails the check."""
    result = subprocess.run(command, capture_output=True, text=True, encoding="utf-8", env=UTF8, timeout=60)
    output = (result.stdout + result.stderr).strip()
    check(result.returncode == 0, f"{command[0]} failed ({result.returncode}):\n{output}")
    return output


def check_desktop_entry(install):
    entry = desktop_entry(install.path(f"share/applications/{APP_ID}.desktop"))
    wanted = {"Type": "Application", "Name": "Tilvane", "Exec": "tilvane", "Icon": APP_ID, "Terminal": "false",
              "Categories": "Game;LogicGame;", "StartupWMClass": "Tilvane"}
    for key, value in wanted.items():
        check(entry.get(key) == value, f"desktop entry {key}={entry.get(key)!r}, wanted {value!r}")
    for key in ("Comment", "Comment[ja]", "Keywords"):
        check(entry.get(key), f"the desktop entry has no {key}")
    check(re.search("[\u3040-\u30ff\u4e00-\u9fff]", entry["Comment[ja]"]), "Comment[ja] should be Japanese")
    output = validator_output("desktop-file-validate", install.path(f"share/applications/{APP_ID}.desktop"))
    check(not re.search(r"\b(error|warning)\b", output), f"desktop-file-validate:\n{output}")


def check_metainfo(install):
    path = install.path(f"share/metainfo/{APP_ID}.metainfo.xml")
    component = ElementTree.parse(path).getroot()
    text = lambda tag: (component.findtext(tag) or "").strip()
    check(component.get("type") == "desktop-application", f"component type {component.get('type')!r}")
    check(text("id") == APP_ID, f"metainfo id {text('id')!r}")
    check(text("name") == "Tilvane" and text("summary"), "metainfo name and summary")
    check(text("project_license") == "MIT", f"project_license {text('project_license')!r}")
    check(text("launchable") == f"{APP_ID}.desktop", f"launchable {text('launchable')!r}")
    releases = [release.get("version") for release in component.iter("release")]
    check(VERSION in releases, f"no release {VERSION} in {releases}")
    check(component.find("content_rating") is not None, "the metainfo has no content rating")
    output = validator_output("appstreamcli", "validate", "--no-net", "--explain", path)
    # The tree check also finds the desktop entry and the icon that the metainfo names.
    output += validator_output("appstreamcli", "validate-tree", "--no-net", install.destdir)
    check(not re.search(r"^[EW]:", output, re.M), f"appstreamcli:\n{output}")


def check_manual(install):
    path = install.path("share/man/man6/tilvane.6")
    # As lintian reads manual pages, then as a terminal that shows ASCII only, then groff alone: no warning.
    readers = [(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", path], UTF8),
               (["man", "--warnings", "-l", path], dict(os.environ, LC_ALL="C")),
               (["groff", "-ww", "-z", "-man", path], UTF8)]
    for command, env in readers:
        result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                                encoding="utf-8", env=dict(env, MANWIDTH="80"), timeout=60)
        check(result.returncode == 0 and not result.stderr, f"{' '.join(command[:-1])}: {result.stderr}")
    page = subprocess.run(["man", "-l", path], capture_output=True, text=True, encoding="utf-8",
                          env=dict(UTF8, MANWIDTH="80", MAN_KEEP_FORMATTING="0"), timeout=60).stdout
    page = re.sub(".\b", "", page)  # overstrike for bold and underline
    for heading in ("NAME", "SYNOPSIS", "DESCRIPTION", "HOW TO PLAY", "OPTIONS", "ENVIRONMENT", "EXIT STATUS",
                    "COPYRIGHT"):
        check(re.search(rf"^{heading}$", page, re.M), f"the manual page has no {heading} section")
    for needed in ("--help", "--version", "DISPLAY", "MIT License", f"Tilvane {VERSION}", "終了"):
        check(needed in page, f"the manual page does not mention {needed!r}")


def check_icons(install):
    for n in ICON_SIZES:
        path = install.path(f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png")
        width, height, depth, colour_type = png_header(path)
        check((width, height, depth, colour_type) == (n, n, 8, 6), f"{path}: {width}x{height}, depth {depth}, "
                                                                   f"colour type {colour_type}; wanted {n}x{n} RGBA")
        colours = int(run("convert", path, "-format", "%k", "info:"))
        check(colours <= ICON_COLOURS, f"the {n}-pixel icon has {colours} colours: not a crisp enlargement")

    # The larger sizes are whole multiples of the 32-pixel art: every block of the same pixels as the art's pixel.
    small = install.path(f"share/icons/hicolor/32x32/apps/{APP_ID}.png")
    for n in (64, 128, 256):
        big = install.path(f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png")
        sampled = subprocess.run(["convert", big, "-sample", "32x32", "PNG32:-"], capture_output=True,
                                 timeout=30).stdout
        result = subprocess.run(["compare", "-metric", "AE", small, "PNG32:-", "null:"], input=sampled,
                                capture_output=True, timeout=30)
        check(result.stderr.strip() == b"0", f"the {n}-pixel icon is not the 32-pixel art enlarged: "
                                             f"{result.stderr.decode().strip()} pixels differ")


def tree():
    """Every file in its place and nothing else, each accepted by its validator."""
    need("desktop-file-validate", "appstreamcli", "man", "groff", "convert", "compare")
    with Installation() as install:
        found = files_under(install.destdir)
        wanted = {os.path.join(PREFIX.lstrip("/"), f) for f in expected_files()}
        check(found == wanted, f"missing {sorted(wanted - found)}, unexpected {sorted(found - wanted)}")
        check(os.access(install.path("bin/tilvane"), os.X_OK), "bin/tilvane is not executable")
        with open(install.path("share/doc/tilvane/copyright"), encoding="utf-8") as file:
            check(file.read().startswith("MIT License"), "the copyright file should hold the MIT licence")
        check_desktop_entry(install)
        check_metainfo(install)
        check_manual(install)
        check_icons(install)


def run_installed(install, *args, stdout=subprocess.PIPE):
    """The installed binary with no display at all: the command line must be answered without one."""
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    return subprocess.run([install.path("bin/tilvane"), *args], stdout=stdout, stderr=subprocess.PIPE, text=True,
                          env=env, timeout=30)


def command_line():
    """--version and --help answer on standard output; anything else is a usage error before any display."""
    with Installation() as install:
        version = run_installed(install, "--version")
        check((version.returncode, version.stdout, version.stderr) == (0, f"Tilvane {VERSION}\n", ""),
              f"--version: status {version.returncode}, out {version.stdout!r}, err {version.stderr!r}")

        usage = run_installed(install, "--help")
        check(usage.returncode == 0 and usage.stdout.startswith("Usage: tilvane") and not usage.stderr,
              f"--help: status {usage.returncode}, out {usage.stdout!r}, err {usage.stderr!r}")
        check("--version" in usage.stdout, "the usage names --version")

        # Without a display a start would end with status 1: status 2 shows that none was tried.
        for args in (["--bogus"], ["-h"], [""], ["--version", "--help"], ["--help", "extra"], ["game.txt"]):
            wrong = run_installed(install, *args)
            check(wrong.returncode == 2, f"{args}: status {wrong.returncode}, wanted 2; err {wrong.stderr!r}")
            check(not wrong.stdout, f"{args}: nothing on standard output, got {wrong.stdout!r}")
            check("Usage: tilvane" in wrong.stderr, f"{args}: the usage on standard error, got {wrong.stderr!r}")

        if os.path.exists("/dev/full"):
            with open("/dev/full", "w") as full:
                lost = run_installed(install, "--version", stdout=full)
            check(lost.returncode == 1 and "standard output" in lost.stderr,
                  f"--version into a full device: status {lost.returncode}, err {lost.stderr!r}")


def desktop_start():
    """The installed program started as a desktop starts it, from the entry's Exec line, then closed."""
    with Installation() as install:
        entry = desktop_entry(install.path(f"share/applications/{APP_ID}.desktop"))
        command = [word for word in shlex.split(entry["Exec"]) if not re.fullmatch(r"%[fFuUdDnNickvm]", word)]
        # Exec names the program as a desktop does, by its name on PATH.
        path = install.path("bin") + os.pathsep + os.environ.get("PATH", "")
        program = shutil.which(command[0], path=path)
        check(program == install.path("bin/tilvane"), f"Exec={entry['Exec']} finds {program}, not the installed one")
        proc = subprocess.Popen([program, *command[1:]], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True, env=dict(os.environ, PATH=path))
        try:
            window = find_window(r"^Tilvane$")
            wait_until(lambda: window_info(window)["viewable"], "the main window to show")
            wm_class = run("xprop", "-id", str(window), "WM_CLASS")
            check(f'"{entry["StartupWMClass"]}"' in wm_class.split("=", 1)[-1].split(",")[-1],
                  f"WM_CLASS {wm_class.strip()} does not carry StartupWMClass={entry['StartupWMClass']}")
            with XDisplay() as x:
                x.send_delete_window(window)
            try:
                status = proc.wait(timeout=15)
            except subprocess.TimeoutExpired:
                raise Failure("the program did not end after the close request")
            check(status == 0, f"exit status {status} after the close request; stderr {proc.stderr.read()!r}")
        finally:
            if proc.poll() is None:
                proc.kill()
            proc.wait(timeout=10)


def control_fields(deb):
    fields = {}
    for line in run("dpkg-deb", "-f", deb).splitlines():
        if line[:1] not in (" ", "\t") and ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
        elif fields:
            fields[key] += "\n" + line
    return fields


def package():
    """The Debian package: its name, its control fields, its files, and lintian's verdict."""
    need("cpack", "dpkg-deb", "dpkg-shlibdeps", "lintian")
    arch = run("dpkg", "--print-architecture").strip()
    with tempfile.TemporaryDirectory(prefix="tilvane-package.") as out:
        result = subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                                 "-B", out], capture_output=True, text=True, timeout=120)
        check(result.returncode == 0, f"cpack failed:\n{result.stdout}\n{result.stderr}")
        deb = os.path.join(out, f"tilvane_{VERSION}_{arch}.deb")
        check(os.path.exists(deb), f"no {os.path.basename(deb)} in {sorted(os.listdir(out))}")

        fields = control_fields(deb)
        for key, value in {"Package": "tilvane", "Version": VERSION, "Architecture": arch,
                           "Section": "games", "Priority": "optional"}.items():
            check(fields.get(key) == value, f"control field {key}: {fields.get(key)!r}, wanted {value!r}")
        depends = {d.strip().split(" ")[0] for d in fields.get("Depends", "").split(",")}
        for needed in ("fonts-ipafont-gothic", "libc6", "libstdc++6", "libcairo2", "libx11-6", "libxext6",
                       "libxrandr2", "libxcursor1", "libfontconfig1"):
            check(needed in depends, f"Depends lacks {needed}: {fields.get('Depends')!r}")
        description = fields.get("Description", "").splitlines()
        check(len(description) >= 3 and "puzzle" in description[0], f"Description: {description}")
        check(fields.get("Maintainer"), "the package has no maintainer")

        listing = run("dpkg-deb", "-c", deb).splitlines()
        files = {}
        for line in listing:
            mode, owner, _, _, _, name = line.split(None, 5)
            files[os.path.normpath(name.split(" -> ")[0]).lstrip("./")] = (mode, owner)
        # Debian's layout: the game in /usr/games, the manual page and the changelog compressed.
        debian = {"bin/tilvane": "games/tilvane", "share/man/man6/tilvane.6": "share/man/man6/tilvane.6.gz",
                  "share/doc/tilvane/changelog": "share/doc/tilvane/changelog.gz"}
        wanted = {"usr/" + debian.get(f, f) for f in expected_files()}
        regular = {name for name, (mode, _) in files.items() if mode.startswith("-")}
        check(regular == wanted, f"package files: missing {sorted(wanted - regular)}, "
                                 f"unexpected {sorted(regular - wanted)}")
        for name, (mode, owner) in files.items():
            check(owner == "root/root", f"{name} belongs to {owner}")
            want = "-rwxr-xr-x" if name == "usr/games/tilvane" else ("drwxr-xr-x" if mode[0] == "d" else "-rw-r--r--")
            check(mode == want, f"{name} has mode {mode}, wanted {want}")

        lint = subprocess.run(["lintian", "--tag-display-limit", "0", deb], capture_output=True, text=True,
                              env=UTF8, timeout=120)
        report = (lint.stdout + lint.stderr).strip()
        check(not re.search(r"^[EW]: ", report, re.M), f"lintian:\n{report}")
        if report:
            print(f"lintian notes:\n{report}")


CHECKS = {"tree": tree, "command-line": command_line, "desktop-start": desktop_start, "package": package}

if __name__ == "__main__":
    check_function = CHECKS.get(sys.argv[1] if len(sys.argv) > 1 else "")
    if not check_function:
        print(f"usage: test_install.py {'|'.join(CHECKS)}", file=sys.stderr)
        sys.exit(2)
    main(check_function)
