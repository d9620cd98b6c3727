"""Every program in the built program folder carries the shared manifest and version
information, read back from the .exe itself: common controls 6, asInvoker, Windows 7 to
11, the one DPI declaration, and the version strings from the project's one version;
notice.exe and Launcher.exe carry the program icon of 奥文Orvane.exe. Each is marked
Terminal-Server aware and carries no debugging sections and no path of the build."""

import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from harness import BUILD, PROGRAM  # noqa: E402

SOURCE = os.path.join(os.path.dirname(__file__), "..", "..")
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
WINDOWS_7_TO_11 = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                   "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
ASM = "{urn:schemas-microsoft-com:asm.v1}"
# Each window is laid out at its own monitor's DPI: per-monitor v2, else per-monitor,
# else (before Windows 8.1) system.
DPI_DECLARATION = [("dpiAware", "true/pm"), ("dpiAwareness", "PerMonitorV2, PerMonitor")]


def resources(path):
    """{(type, name): data} of a PE file's resource section (ids as ints)."""
    with open(path, "rb") as f:
        pe = f.read()
    header = struct.unpack_from("<L", pe, 0x3C)[0]
    assert pe[header:header + 4] == b"PE\0\0"
    sections, optional_size = struct.unpack_from("<H12xH", pe, header + 6)
    optional = header + 24
    directories = optional + (112 if struct.unpack_from("<H", pe, optional)[0] == 0x20B else 96)
    rsrc_rva = struct.unpack_from("<L", pe, directories + 2 * 8)[0]
    table = optional + optional_size

    def offset(rva):
        for i in range(sections):
            size, address, _, raw = struct.unpack_from("<LLLL", pe, table + i * 40 + 8)
            if address <= rva < address + max(size, 1):
                return rva - address + raw
        raise ValueError(f"RVA {rva:#x} outside every section")

    base = offset(rsrc_rva)

    def entries(at):
        named, ids = struct.unpack_from("<HH", pe, base + at + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<LL", pe, base + at + 16 + i * 8)
            if name & 0x80000000:
                length = struct.unpack_from("<H", pe, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                name = pe[start:start + 2 * length].decode("utf-16-le")
            yield name, target

    found = {}
    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            for _, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<LL", pe, base + leaf)
                found[(kind, name)] = pe[offset(rva):offset(rva) + size]
    return found


IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE = 0x8000


def header(path):
    """(DllCharacteristics, section names, the whole file) of a PE file."""
    with open(path, "rb") as f:
        pe = f.read()
    at = struct.unpack_from("<L", pe, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", pe, at + 6)
    optional = at + 24
    characteristics = struct.unpack_from("<H", pe, optional + 70)[0]
    table = optional + optional_size
    names = []
    for i in range(sections):
        name = pe[table + i * 40:table + i * 40 + 8].rstrip(b"\0").decode()
        if name.startswith("/"):  # a long name, kept in the string table after the symbols
            symbols, count = struct.unpack_from("<LL", pe, at + 12)
            start = symbols + count * 18 + int(name[1:])
            name = pe[start:pe.index(b"\0", start)].decode()
        names.append(name)
    return characteristics, names, pe


def version_block(data, at=0):
    """(key, value, children) of one VS_VERSIONINFO-style block."""
    length, value_length, text = struct.unpack_from("<HHH", data, at)
    end = data.index(b"\0\0", at + 6)
    while (end - at - 6) % 2:
        end = data.index(b"\0\0", end + 1)
    key = data[at + 6:end].decode("utf-16-le")
    value_at = (end + 2 + 3) & ~3
    value_size = value_length * 2 if text else value_length
    value = data[value_at:value_at + value_size]
    children, child = [], (value_at + value_size + 3) & ~3
    while child < at + length:
        children.append(version_block(data, child))
        child = (child + struct.unpack_from("<H", data, child)[0] + 3) & ~3
    return key, value, children


def version_strings(data):
    key, fixed, children = version_block(data)
    assert key == "VS_VERSION_INFO"
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6L", fixed)
    assert signature == 0xFEEF04BD
    strings = {}
    for child_key, _, tables in children:
        if child_key == "StringFileInfo":
            for _, _, values in tables:
                strings.update({k: v.decode("utf-16-le").rstrip("\0") for k, v, _ in values})
    numbers = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)  # noqa: E731
    return strings, numbers(file_ms, file_ls), numbers(product_ms, product_ls)


def icon(found):
    """The program icon: its group and the images it names, in order."""
    (group,) = [data for (kind, _), data in found.items() if kind == RT_GROUP_ICON][:1]
    count = struct.unpack_from("<H", group, 4)[0]
    ids = [struct.unpack_from("<H", group, 6 + i * 14 + 12)[0] for i in range(count)]
    return group, [found[(RT_ICON, i)] for i in ids]


class Resources(unittest.TestCase):
    def test_every_program_carries_manifest_version_and_the_right_icon(self):
        with open(os.path.join(BUILD, "version.txt")) as f:
            version = f.read().strip()
        with open(os.path.join(SOURCE, "cmake", "orvane.manifest"), "rb") as f:
            shared = f.read()
        programs = sorted(os.path.relpath(os.path.join(d, n), PROGRAM)
                          for d, _, names in os.walk(PROGRAM) for n in names if n.endswith(".exe"))
        self.assertTrue({"奥文Orvane.exe", "notice.exe", "Launcher.exe", os.path.join("wav", "wavjoin.exe")}
                        <= set(programs), programs)
        main_icon = icon(resources(os.path.join(PROGRAM, "奥文Orvane.exe")))
        for program in programs:
            with self.subTest(program):
                found = resources(os.path.join(PROGRAM, program))
                manifest = found[(RT_MANIFEST, 1)]
                self.assertEqual(manifest, shared, "the one shared manifest")
                root = ET.fromstring(manifest)
                controls = root.find(f"{ASM}dependency/{ASM}dependentAssembly/{ASM}assemblyIdentity")
                self.assertEqual((controls.get("name"), controls.get("version")),
                                 ("Microsoft.Windows.Common-Controls", "6.0.0.0"))
                levels = [e.get("level") for e in root.iter() if e.tag.endswith("}requestedExecutionLevel")]
                self.assertEqual(levels, ["asInvoker"])
                self.assertEqual({e.get("Id") for e in root.iter() if e.tag.endswith("}supportedOS")},
                                 WINDOWS_7_TO_11)
                dpi = [(e.tag.split("}")[1], e.text) for e in root.iter() if e.tag.endswith("}dpiAware")
                       or e.tag.endswith("}dpiAwareness")]
                self.assertEqual(dpi, DPI_DECLARATION)
                self.assertFalse([e for e in root.iter() if e.tag.endswith("activeCodePage")],
                                 "the process code page stays the system's")

                strings, file_version, product_version = version_strings(found[(RT_VERSION, 1)])
                self.assertEqual(strings["ProductName"], "奥文Orvane")
                self.assertEqual(strings["CompanyName"], "青石软件")
                self.assertIn("青石软件", strings["LegalCopyright"])
                self.assertTrue(strings["FileDescription"])
                self.assertEqual(strings["OriginalFilename"], os.path.basename(program))
                self.assertEqual((strings["FileVersion"], strings["ProductVersion"]), (version, version))
                numbers = tuple(int(n) for n in (version + ".0.0.0").split(".")[:4])
                self.assertEqual((file_version, product_version), (numbers, numbers))
                if program in ("notice.exe", "Launcher.exe"):
                    self.assertEqual(icon(found), main_icon)

                characteristics, sections, pe = header(os.path.join(PROGRAM, program))
                self.assertTrue(characteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE)
                self.assertFalse([n for n in sections if n.startswith(".debug")], sections)
                for path in {os.path.realpath(SOURCE), os.path.realpath(BUILD)}:
                    for encoding in ("utf-8", "utf-16-le"):
                        self.assertNotIn(path.encode(encoding), pe, "a build path")


if __name__ == "__main__":
    unittest.main()
