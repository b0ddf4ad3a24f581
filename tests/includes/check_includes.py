#!/usr/bin/env python3
"""Reads every #include of the source tree and fails on one that crosses the layers' boundaries.

The program (app/, shell/, ui/, res/) is written against platform/api and the engine only; the API and the
code written once for both platforms include nothing of an implementation; the backends see only the backend
interface and the API's plain types. Usage: check_includes.py SOURCE_DIR; prints FILE:LINE for each crossing.
"""
import pathlib
import re
import sys

SOURCE_DIRS = ("app", "bench", "engine", "platform", "res", "shell", "tests", "ui")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
CONDITION = re.compile(r"^\s*#\s*(if|ifdef|ifndef|elif|else|endif)\b(.*)")

PROGRAM = ("app/", "shell/", "ui/", "res/", "engine/", "platform/api/")
# The plain types the backends speak in: values, resources, rectangle arithmetic and icon pictures.
PLAIN_TYPES = ("platform/api/Types.h", "platform/api/Resources.h", "platform/api/RectOps.h",
               "platform/api/IconPictures.h")
# The program's composition roots: each names the implementation it runs on.
ROOTS = {"app/main.cpp": ("platform/linux/",), "app/WindowsMain.cpp": ("platform/win32/",)}
# Windows' own headers, which the API's Windows branch stands on.
WINDOWS_HEADERS = ("windows.h", "shellapi.h")


def allowed_quoted(source, target):
    """Why `source` may not include `target` (both relative to the source tree), or None when it may."""
    def only(*prefixes):
        return None if target.startswith(prefixes) else "may include only " + ", ".join(prefixes)

    if source.startswith("engine/"):
        return only("engine/")
    if source in ROOTS:
        return only(*PROGRAM, *ROOTS[source])
    if source.startswith(("app/", "shell/", "ui/", "res/")):
        return only(*PROGRAM)
    if source.startswith(("platform/api/", "platform/common/")):
        return only("platform/api/")
    for backend in ("platform/linux/x11/", "platform/linux/headless/"):
        if source.startswith(backend):
            if target in PLAIN_TYPES or target == "platform/linux/Backend.h":
                return None
            return only(backend, "platform/linux/Backend.h", *PLAIN_TYPES)
    if source.startswith("platform/linux/"):
        if target.startswith(("platform/linux/x11/", "platform/linux/headless/")):
            return "the window system includes no backend"
        return only("platform/api/", "platform/linux/")
    if source.startswith("platform/win32/"):
        return only("platform/api/", "platform/win32/")
    if target.startswith("platform/common/"):
        return "platform/common has no headers to include"
    if source.startswith("tests/windows/") and target.startswith("platform/linux/"):
        return "the Windows tests include nothing of the Linux implementation"
    if not source.startswith("tests/windows/") and target.startswith("platform/win32/"):
        return "only the Windows tests include the Windows implementation"
    return None


def allowed_angled(source, header, in_windows_branch):
    """Why `source` may not include <header>, or None; only the API and common code are limited."""
    if not source.startswith(("platform/api/", "platform/common/")):
        return None
    if "." not in header and "/" not in header:
        return None  # the C++ standard library
    if source.startswith("platform/api/") and header in WINDOWS_HEADERS and in_windows_branch:
        return None
    return "may include only the standard library (and, in its Windows branch, <windows.h>, <shellapi.h>)"


def resolve(root, source_path, target):
    """The included file relative to the tree: next to the including file, else from the tree's root."""
    beside = source_path.parent / target
    if beside.is_file():
        return beside.resolve().relative_to(root).as_posix()
    return target


def crossings(root, path):
    source = path.relative_to(root).as_posix()
    branches = []  # for each open #if: 1 in the Windows branch, -1 in the other one, 0 unrelated to Windows
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        condition = CONDITION.match(line)
        if condition:
            keyword, rest = condition.groups()
            side = 0 if "_WIN32" not in rest else -1 if "!" in rest or keyword == "ifndef" else 1
            if keyword in ("if", "ifdef", "ifndef"):
                branches.append(side)
            elif keyword == "elif" and branches:
                branches[-1] = side
            elif keyword == "else" and branches:
                branches[-1] = -branches[-1]
            elif keyword == "endif" and branches:
                branches.pop()
            continue
        include = INCLUDE.match(line)
        if not include:
            continue
        kind, target = include.groups()
        if kind == '"':
            why = allowed_quoted(source, resolve(root, path, target))
        else:
            why = allowed_angled(source, target, 1 in branches)
        if why:
            yield f"{source}:{number}: #include {kind}{target}{'>' if kind == '<' else kind}: {why}"


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    files = sorted(p for d in SOURCE_DIRS for p in (root / d).rglob("*") if p.suffix in (".h", ".cpp", ".rc"))
    found = [message for path in files for message in crossings(root, path)]
    for message in found:
        print(message)
    print(f"{len(files)} files read, {len(found)} includes cross a boundary")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
