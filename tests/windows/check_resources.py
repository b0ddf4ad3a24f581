"""The resources of the built tilvane.exe, read back from its resource directory: every resource the program
loads, in Japanese, and no string table; the icon group first, with its 16, 32, 48 and 256 pixel pictures; the
version record's numbers and strings and its translation; the application manifest's elements.
Usage: check_resources.py TILVANE.EXE VERSION FILE_VERSION (e.g. 4.01 4.0.1.0)"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_CURSOR, RT_BITMAP, RT_ICON, RT_MENU, RT_DIALOG, RT_STRING = 1, 2, 3, 4, 5, 6
RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 12, 14, 16, 24
JAPANESE = 0x0411
LOADED = {(RT_GROUP_ICON, 102), (RT_GROUP_CURSOR, 162), (RT_GROUP_CURSOR, 163), (RT_MENU, 181),
          (RT_DIALOG, 100), (RT_DIALOG, 102), (RT_VERSION, 1), (RT_MANIFEST, 1)} | \
         {(RT_BITMAP, bitmap) for bitmap in (147, 148, 149, 150)}
ASM = "{urn:schemas-microsoft-com:asm.v1}"
WINDOWS_10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def resources(image):
    """[(type, id, language, data)] in the directory's order: types, then ids, then languages ascending."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional = struct.unpack_from("<H", image, pe + 6)[0], struct.unpack_from("<H", image, pe + 20)[0]
    for i in range(sections):
        name, _, rva, _, raw = struct.unpack_from("<8sIIII", image, pe + 24 + optional + 40 * i)
        if name.rstrip(b"\0") == b".rsrc":
            break
    else:
        fail("tilvane.exe has no resource section")

    def walk(offset, path):
        named, ids = struct.unpack_from("<HH", image, raw + offset + 12)
        for entry in range(named + ids):
            key, target = struct.unpack_from("<II", image, raw + offset + 16 + 8 * entry)
            if target & 0x80000000:
                yield from walk(target & 0x7FFFFFFF, path + [key])
            else:
                data_rva, size = struct.unpack_from("<II", image, raw + target)
                yield (*path, key, image[raw + data_rva - rva: raw + data_rva - rva + size])
    return list(walk(0, []))


def version_nodes(data, offset=0):
    """One VS_VERSIONINFO node as (key, value bytes, children), read from `offset`."""
    length, value_length, is_text = struct.unpack_from("<HHH", data, offset)
    end = data.index(b"\0\0", offset + 6)
    end += (end - offset) % 2  # the NUL of UTF-16 text ends on an even offset
    key = data[offset + 6:end].decode("utf-16-le")
    value_at = (end + 2 + 3) & ~3
    value_size = value_length * (2 if is_text else 1)
    children, child = [], (value_at + value_size + 3) & ~3
    while child < offset + length:
        children.append(version_nodes(data, child))
        child = (child + struct.unpack_from("<H", data, child)[0] + 3) & ~3
    return key, data[value_at:value_at + value_size], children


def check_icon(found):
    groups = [data for kind, _, _, data in found if kind == RT_GROUP_ICON]
    first = [key for kind, key, _, _ in found if kind == RT_GROUP_ICON][0]
    if first != 102:
        fail(f"the first icon group, the one Explorer shows, is {first}, not 102")
    count = struct.unpack_from("<H", groups[0], 4)[0]
    entries = [struct.unpack_from("<BBBBHHIH", groups[0], 6 + 14 * i) for i in range(count)]
    sizes = sorted(width or 256 for width, *_ in entries)
    if sizes != [16, 32, 48, 256] or any(height != width for width, height, *_ in entries):
        fail(f"icon 102 has the square pictures {sizes}, wanted 16, 32, 48 and 256")
    if any(colours != 16 or bits != 4 for _, _, colours, _, _, bits, _, _ in entries):
        fail(f"icon 102's pictures should have 16 colours: {entries}")


def check_version(data, version, file_version):
    key, fixed, children = version_nodes(data)
    signature, _, ms, ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed)
    numbers = lambda high, low: f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"
    if key != "VS_VERSION_INFO" or signature != 0xFEEF04BD:
        fail(f"the version record is no VS_VERSION_INFO: {key!r}")
    if (numbers(ms, ls), numbers(product_ms, product_ls)) != (file_version, file_version):
        fail(f"file and product version are {numbers(ms, ls)} and {numbers(product_ms, product_ls)}")
    blocks = {name: grandchildren for name, _, grandchildren in children}
    tables = {name: {k: v.decode("utf-16-le").rstrip("\0") for k, v, _ in rows}
              for name, _, rows in blocks.get("StringFileInfo", [])}
    if [name.upper() for name in tables] != ["041104B0"]:
        fail(f"the version record's string blocks are {list(tables)}, wanted one Japanese Unicode block")
    strings = next(iter(tables.values()))
    wanted = {"FileVersion": version, "ProductVersion": version, "FileDescription": "Tilvane",
              "InternalName": "Tilvane", "ProductName": "Tilvane", "OriginalFilename": "tilvane.exe"}
    wrong = {name: strings.get(name) for name, text in wanted.items() if strings.get(name) != text}
    if wrong:
        fail(f"the version strings {wrong} should be {wanted}")
    if not strings.get("LegalCopyright") or strings.get("Comments") != strings.get("LegalCopyright"):
        fail(f"Comments and LegalCopyright should carry the maker's notice: {strings}")
    translations = {name: value for name, value, _ in blocks.get("VarFileInfo", [])}
    if translations.get("Translation") != struct.pack("<HH", JAPANESE, 1200):
        fail(f"the translation is {translations.get('Translation')!r}, wanted Japanese in Unicode")


def check_manifest(data):
    root = ElementTree.fromstring(data)
    found = {element.tag.split("}")[1]: element for element in root.iter()}
    dependency = root.find(f"{ASM}dependency/{ASM}dependentAssembly/{ASM}assemblyIdentity")
    checks = {
        "Windows 10 and 11 among the supported systems":
            WINDOWS_10 in [e.get("Id") for e in root.iter() if e.tag.endswith("}supportedOS")],
        "the level asInvoker": found.get("requestedExecutionLevel", {}).get("level") == "asInvoker",
        "Common Controls 6": dependency is not None and
            (dependency.get("name"), dependency.get("version")) == ("Microsoft.Windows.Common-Controls", "6.0.0.0"),
        "no awareness of DPI": found.get("dpiAware") is not None and found["dpiAware"].text == "false",
        "GDI scaling": found.get("gdiScaling") is not None and found["gdiScaling"].text == "true",
    }
    missing = [what for what, holds in checks.items() if not holds]
    if missing:
        fail(f"the manifest does not ask for {missing}")


def main():
    exe, version, file_version = sys.argv[1:4]
    with open(exe, "rb") as binary:
        found = resources(binary.read())
    kinds = {(kind, key) for kind, key, _, _ in found if kind not in (RT_ICON, RT_CURSOR)}
    if kinds != LOADED:
        fail(f"tilvane.exe has the resources {sorted(kinds)}, wanted {sorted(LOADED)} (and no string table)")
    languages = {language for _, _, language, _ in found}
    if languages != {JAPANESE}:
        fail(f"the resources' languages are {sorted(map(hex, languages))}, wanted Japanese only")
    check_icon(found)
    by_kind = {kind: data for kind, _, _, data in found}
    check_version(by_kind[RT_VERSION], version, file_version)
    check_manifest(by_kind[RT_MANIFEST])
    print(f"{exe}: {len(found)} resources, {sum(len(data) for *_, data in found)} bytes")


if __name__ == "__main__":
    main()
