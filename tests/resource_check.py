#!/usr/bin/env python3
"""Reads a built brenvik.exe (PE headers, imports and resource section) and
checks the dialog template, the version block, the manifest, the subsystem,
the window-system calls and that no other resource is present.
Usage: resource_check.py brenvik.exe"""
import struct
import sys
import unittest
import xml.etree.ElementTree as ET

EXE = None

WS_POPUP, WS_CHILD, WS_VISIBLE = 0x80000000, 0x40000000, 0x10000000
WS_CAPTION, WS_BORDER, WS_SYSMENU = 0x00C00000, 0x00800000, 0x00080000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_SETFONT, DS_MODALFRAME, DS_CENTER = 0x40, 0x80, 0x800
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_GROUPBOX = 0, 1, 7
SS_LEFT = 0
ES_RIGHT, ES_AUTOHSCROLL, ES_READONLY = 0x2, 0x80, 0x800
BUTTON, EDIT, STATIC = 0x80, 0x81, 0x82
RT_DIALOG, RT_VERSION, RT_MANIFEST = 5, 16, 24
JAPANESE = 0x0411

STATIC_TEXT = WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP
EDIT_FIELD = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL
PUSH = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP
GROUP_BOX = WS_CHILD | WS_VISIBLE | BS_GROUPBOX

# id, class, text, rectangle, style: in template order, which is the tab order.
CONTROLS = [
    (1, BUTTON, "Convert", (47, 135, 50, 14), WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP),
    (-1, STATIC, "Folder", (20, 18, 25, 8), STATIC_TEXT),
    (-1, STATIC, "Format", (20, 32, 25, 8), STATIC_TEXT),
    (1001, EDIT, "", (46, 17, 107, 12), EDIT_FIELD),
    (1002, BUTTON, "browse", (155, 17, 33, 12), PUSH),
    (1003, EDIT, "", (46, 31, 107, 12), EDIT_FIELD),
    (-1, STATIC, "File", (20, 110, 25, 8), STATIC_TEXT),
    (1004, EDIT, "", (46, 108, 107, 12), EDIT_FIELD),
    (1005, BUTTON, "browse", (155, 108, 33, 12), PUSH),
    (-1, STATIC, "levels", (135, 138, 26, 8), STATIC_TEXT),
    (1006, EDIT, "", (109, 136, 23, 12), EDIT_FIELD | ES_READONLY | ES_RIGHT),
    (-1, STATIC, "screen.1     -> screen.%d", (48, 45, 122, 8), STATIC_TEXT),
    (-1, STATIC, "screen.01    -> screen.%02d", (48, 55, 122, 8), STATIC_TEXT),
    (-1, STATIC, "screen_1.skd -> screen_%d.skd", (48, 65, 122, 8), STATIC_TEXT),
    (-1, STATIC, "soko001.txt  -> soko%03d.txt", (48, 75, 122, 8), STATIC_TEXT),
    (-1, BUTTON, "Input Folder", (7, 3, 193, 88), GROUP_BOX),
    (-1, BUTTON, "Output File", (7, 94, 193, 35), GROUP_BOX),
]


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0", "no PE signature"
        self.machine, nsections, _, _, _, optsize, self.characteristics = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem_version = struct.unpack_from("<HH", data, opt + 48)
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.import_rva = struct.unpack_from("<I", data, dirs + 1 * 8)[0]
        self.res_rva, self.res_size = struct.unpack_from("<II", data, dirs + 2 * 8)
        self.sections = []
        for i in range(nsections):
            s = opt + optsize + 40 * i
            vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr))

    def at(self, rva):
        for vaddr, size, rawptr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rawptr + rva - vaddr
        raise ValueError("rva %#x in no section" % rva)

    def cstr(self, off):
        return self.data[off:self.data.index(b"\0", off)].decode("ascii")

    def imports(self):
        """{dll name in upper case: set of imported function names}"""
        thunk_size, ordinal_flag = (4, 1 << 31) if self.magic == 0x10B else (8, 1 << 63)
        out = {}
        off = self.at(self.import_rva)
        while True:
            lookup, _, _, name_rva, first_thunk = struct.unpack_from("<IIIII", self.data, off)
            if name_rva == 0:
                return out
            names = out.setdefault(self.cstr(self.at(name_rva)).upper(), set())
            t = self.at(lookup or first_thunk)
            while True:
                entry = struct.unpack_from("<Q" if thunk_size == 8 else "<I", self.data, t)[0]
                if entry == 0:
                    break
                if not entry & ordinal_flag:
                    names.add(self.cstr(self.at(entry & 0x7FFFFFFF) + 2))
                t += thunk_size
            off += 20

    def resources(self):
        """[(type, name, language, bytes)] with ids as ints, names as str."""
        base = self.at(self.res_rva)
        out = []

        def name(entry_name):
            if entry_name & 0x80000000:
                off = base + (entry_name & 0x7FFFFFFF)
                n = struct.unpack_from("<H", self.data, off)[0]
                return self.data[off + 2:off + 2 + 2 * n].decode("utf-16-le")
            return entry_name

        def walk(off, path):
            named, ids = struct.unpack_from("<HH", self.data, base + off + 12)
            for i in range(named + ids):
                entry_name, target = struct.unpack_from("<II", self.data, base + off + 16 + 8 * i)
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, path + [name(entry_name)])
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    start = self.at(rva)
                    out.append(tuple(path + [name(entry_name)]) + (self.data[start:start + size],))

        walk(0, [])
        return out


def read_sz_or_ord(data, off):
    first = struct.unpack_from("<H", data, off)[0]
    if first == 0:
        return None, off + 2
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, off + 2)[0], off + 4
    return read_sz(data, off)


def read_sz(data, off):
    end = off
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[off:end].decode("utf-16-le"), end + 2


def align4(off):
    return (off + 3) & ~3


def parse_dialog(data):
    ver, sig, helpid, exstyle, style, count, x, y, cx, cy = struct.unpack_from("<HHIIIHhhhh", data, 0)
    d = dict(ver=ver, sig=sig, helpid=helpid, exstyle=exstyle, style=style, rect=(x, y, cx, cy))
    off = 26
    d["menu"], off = read_sz_or_ord(data, off)
    d["cls"], off = read_sz_or_ord(data, off)
    d["caption"], off = read_sz(data, off)
    d["pointsize"], d["weight"], d["italic"], d["charset"] = struct.unpack_from("<HHBB", data, off)
    d["font"], off = read_sz(data, off + 6)
    d["controls"] = []
    for _ in range(count):
        off = align4(off)
        helpid, exstyle, style, x, y, cx, cy, cid = struct.unpack_from("<IIIhhhhi", data, off)
        off += 24
        cls, off = read_sz_or_ord(data, off)
        text, off = read_sz_or_ord(data, off)
        extra = struct.unpack_from("<H", data, off)[0]
        off += 2 + extra
        d["controls"].append(dict(id=cid, cls=cls, text=text or "", rect=(x, y, cx, cy), style=style,
                                  exstyle=exstyle, helpid=helpid))
    return d


def parse_version_block(data, off=0):
    """(key, value bytes, children) of one VS_VERSIONINFO-style block."""
    length, value_length, vtype = struct.unpack_from("<HHH", data, off)
    key, pos = read_sz(data, off + 6)
    pos = align4(pos)
    value_bytes = value_length * 2 if vtype == 1 else value_length
    value = data[pos:pos + value_bytes]
    pos = align4(pos + value_bytes)
    children = []
    while pos < off + length:
        child = parse_version_block(data, pos)
        children.append(child[:3])
        pos = align4(pos + child[3])
    return key, value, children, length


class Executable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(EXE, "rb") as f:
            cls.pe = Pe(f.read())
        cls.res = cls.pe.resources()

    def resource(self, rtype):
        found = [r for r in self.res if r[0] == rtype]
        self.assertEqual(len(found), 1, "resources of type %s: %r" % (rtype, [r[:3] for r in found]))
        return found[0]

    def test_gui_subsystem_version_6_0(self):
        self.assertEqual(self.pe.subsystem, 2)  # Windows GUI: no console window
        self.assertEqual(self.pe.subsystem_version, (6, 0))
        self.assertIn(self.pe.magic, (0x10B, 0x20B))
        if self.pe.magic == 0x10B:
            self.assertEqual(self.pe.machine, 0x14C)  # i386

    def test_window_system_calls_are_the_narrow_ones(self):
        imports = self.pe.imports()
        # UpdateWindow paints the emptied count field before a run holds the thread.
        self.assertEqual(imports["USER32.DLL"], {"DialogBoxParamA", "EndDialog", "GetDlgItem", "GetWindowTextA",
                                                 "SendMessageA", "SetWindowTextA", "UpdateWindow"})
        self.assertEqual(imports["COMDLG32.DLL"], {"GetSaveFileNameA"})
        self.assertEqual(imports["SHELL32.DLL"], {"SHBrowseForFolderA", "SHGetPathFromIDListA"})
        self.assertEqual(imports["OLE32.DLL"], {"CoTaskMemFree"})

    def test_only_dialog_version_and_manifest(self):
        self.assertEqual(sorted(r[:3] for r in self.res),
                         [(RT_DIALOG, 101, JAPANESE), (RT_VERSION, 1, JAPANESE), (RT_MANIFEST, 1, JAPANESE)])

    def test_dialog_template(self):
        d = parse_dialog(self.resource(RT_DIALOG)[3])
        self.assertEqual((d["ver"], d["sig"]), (1, 0xFFFF))  # extended template
        self.assertEqual(d["style"], WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT)
        self.assertEqual((d["exstyle"], d["helpid"], d["menu"], d["cls"]), (0, 0, None, None))
        self.assertEqual(d["rect"], (0, 0, 207, 156))
        self.assertEqual(d["caption"], "Sokoban - Brenvik by Olmsvey ver1.0")
        self.assertEqual((d["font"], d["pointsize"], d["weight"], d["italic"], d["charset"]),
                         ("\uff2d\uff33 \u30b4\u30b7\u30c3\u30af", 11, 400, 0, 128))
        got = [(c["id"], c["cls"], c["text"], c["rect"], c["style"]) for c in d["controls"]]
        self.assertEqual(len(got), len(CONTROLS))
        for i, (g, want) in enumerate(zip(got, CONTROLS)):
            self.assertEqual(g, want, "control %d" % (i + 1))
        for c in d["controls"]:
            self.assertEqual((c["exstyle"], c["helpid"]), (0, 0), c["text"])

    def test_version_block(self):
        key, fixed, children, _ = parse_version_block(self.resource(RT_VERSION)[3])
        self.assertEqual(key, "VS_VERSION_INFO")
        (sig, _, fv_ms, fv_ls, pv_ms, pv_ls, _, flags, fos, ftype, fsub) = struct.unpack_from("<11I", fixed)
        self.assertEqual(sig, 0xFEEF04BD)
        self.assertEqual((fv_ms, fv_ls, pv_ms, pv_ls), (0x10000, 1, 0x10000, 1))  # 1.0.0.1
        self.assertEqual((fos, ftype, flags), (0x40004, 1, 0))  # VOS_NT_WINDOWS32, VFT_APP
        blocks = {c[0]: c for c in children}
        tables = blocks["StringFileInfo"][2]
        self.assertEqual([t[0] for t in tables], ["041104B0"])
        strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, _ in tables[0][2]}
        for name in ("FileDescription", "ProductName"):
            self.assertEqual(strings[name], "Brenvik")
        for name in ("FileVersion", "ProductVersion"):
            self.assertEqual(strings[name], "1.0.0.1")
        for name in ("InternalName", "OriginalFilename"):
            self.assertEqual(strings[name], "brenvik.exe")
        self.assertTrue(strings["CompanyName"] and strings["LegalCopyright"])
        translation = blocks["VarFileInfo"][2][0]
        self.assertEqual(struct.unpack("<HH", translation[1]), (0x0411, 0x04B0))

    def test_manifest_asks_as_invoker_and_nothing_else(self):
        root = ET.fromstring(self.resource(RT_MANIFEST)[3])
        tags = [e.tag.split("}")[1] for e in root.iter()]
        self.assertEqual(tags, ["assembly", "trustInfo", "security", "requestedPrivileges",
                                "requestedExecutionLevel"])
        level = root.find(".//{urn:schemas-microsoft-com:asm.v3}requestedExecutionLevel")
        self.assertEqual(level.attrib, {"level": "asInvoker", "uiAccess": "false"})


if __name__ == "__main__":
    EXE = sys.argv.pop(1)
    unittest.main(verbosity=2)
