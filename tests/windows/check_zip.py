"""The Windows zip as CPack makes it: one folder named after the version holding tilvane.exe, the licence and the
readme, and nothing else; the texts with CRLF line ends; the executable a 64-bit Windows program that needs no
DLL but the system's own (its C++ runtime is linked in).
Usage: check_zip.py BUILD_DIR VERSION OBJDUMP"""
import os
import subprocess
import sys
import tempfile
import zipfile

# What a Windows installation has in any case; anything else would have to travel beside the executable.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "msvcrt.dll"}


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def main():
    build, version, objdump = sys.argv[1:4]
    subprocess.run(["cpack", "-G", "ZIP", "--config", os.path.join(build, "CPackConfig.cmake")], check=True, cwd=build,
                   stdout=subprocess.DEVNULL)
    path = os.path.join(build, f"tilvane-{version}-windows-x86_64.zip")
    folder = f"tilvane-{version}-windows-x86_64/"
    with zipfile.ZipFile(path) as archive:
        names = sorted(archive.namelist())
        wanted = sorted(folder + name for name in ("tilvane.exe", "LICENSE.txt", "README.txt"))
        if names != wanted:
            fail(f"the zip holds {names}, wanted {wanted}")
        for text in ("LICENSE.txt", "README.txt"):
            data = archive.read(folder + text)
            if data.count(b"\n") == 0 or data.count(b"\n") != data.count(b"\r\n"):
                fail(f"{text} does not have CRLF line ends throughout")
        if b"MIT" not in archive.read(folder + "LICENSE.txt"):
            fail("LICENSE.txt is not the MIT licence")
        exe = archive.read(folder + "tilvane.exe")
    if exe[:2] != b"MZ":
        fail("tilvane.exe is not a Windows executable")
    with tempfile.NamedTemporaryFile(suffix=".exe") as copy:
        copy.write(exe)
        copy.flush()
        headers = subprocess.run([objdump, "-p", copy.name], check=True, capture_output=True, text=True).stdout
    if "pei-x86-64" not in headers:
        fail("tilvane.exe is not a 64-bit Windows program")
    dlls = {line.split(":", 1)[1].strip().lower() for line in headers.splitlines() if "DLL Name:" in line}
    if not dlls or not dlls <= SYSTEM_DLLS:
        fail(f"tilvane.exe needs DLLs that Windows does not have: {sorted(dlls - SYSTEM_DLLS)}")
    print(f"{path}: {len(exe)} bytes of tilvane.exe, DLLs {sorted(dlls)}")


if __name__ == "__main__":
    main()
