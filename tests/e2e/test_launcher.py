"""End-to-end tests: the real launcher under Wine, as a user's PC runs it.

The exe under test is LAUNCHER_EXE when set, else the build's own
(E2E_BUILD_LAUNCHER); E2E_FIXTURES names the folder of the fixture programs
built for the same target. Each test class works in a Wine prefix and X
display of its own.
"""
import os
import re
import shutil
import subprocess
import unittest
from pathlib import Path

from winekit import (REG_BINARY, REG_DWORD, REG_EXPAND_SZ, REG_MULTI_SZ, REG_SZ, REGISTRY_WRITES,
                     WineKit, traced_calls, windows_path)

FIXTURES = Path(os.environ["E2E_FIXTURES"])
LAUNCHER = Path(os.environ.get("LAUNCHER_EXE") or os.environ["E2E_BUILD_LAUNCHER"])
OBJDUMP = os.environ.get("E2E_OBJDUMP", "x86_64-w64-mingw32-objdump")
SCREENSHOT = os.environ.get("E2E_SCREENSHOT")

KEY_PATH = rb"Software\Microsoft\Windows\CurrentVersion\App Paths\CEAPPMGR.EXE"
NOT_FOUND_TEXT = (b"CE Application Manager not found.\r\nRegistry entry \"HKEY_LOCAL_MACHINE\\"
                  + KEY_PATH + b"\" not found or empty")
SETUP_FILE = b"MovraCE_Other.ini"


def quoted(path):
    return b'"' + path + b'"'


def folder_state(folder):
    """Names, sizes and modification times of everything below folder."""
    return sorted((str(p.relative_to(folder)), p.stat().st_size, p.stat().st_mtime_ns)
                  for p in folder.rglob("*"))


class KitTestCase(unittest.TestCase):
    lang = "C.UTF-8"
    encoding = "ascii"  # of the ANSI code page, for the paths used

    @classmethod
    def setUpClass(cls):
        cls.kit = WineKit(FIXTURES, LAUNCHER, cls.lang)
        cls.app_manager = cls.kit.install_app_manager(cls.kit.root / "Program Files" / "CE Tools")
        cls.app_manager_path = windows_path(cls.app_manager).encode()

    @classmethod
    def tearDownClass(cls):
        cls.kit.close()

    def make_kit(self, folder, name="CEMovra_Other.exe"):
        """A kit folder holding the launcher under name; returns the exe."""
        folder.mkdir(parents=True, exist_ok=True)
        (folder / SETUP_FILE.decode()).write_text("[CEAppManager]\n")
        shutil.copy(LAUNCHER, folder / name)
        return folder / name

    def ansi(self, path):
        return windows_path(path).encode(self.encoding)

    def launch(self, command, *args):
        """Runs the launcher from command (a path as Wine takes it) with the
        relay trace on. Returns the exit code and the traced calls."""
        self.kit.install_app_manager(self.app_manager.parent)
        process = self.kit.start(command, *args, trace=True, env={"STANDIN_LINGER_MS": "4000"})
        code, stderr = self.kit.finish(process)
        return code, traced_calls(stderr, LAUNCHER)

    def assert_started(self, calls, command_line):
        """The launcher asked once to start command_line, and the stand-in
        Application Manager received it byte for byte and still runs."""
        starts = [c for c in calls if c.name == "WinExec"]
        self.assertEqual(len(starts), 1, calls)
        printed = starts[0].string(0)
        self.assertEqual(command_line[:len(printed)], printed)
        self.assertEqual(starts[0].number(1), 1)  # SW_SHOWNORMAL
        record = self.app_manager.parent / "received.cmdline"
        self.assertEqual(record.read_bytes(), command_line)
        finished = self.app_manager.parent / "finished"
        self.assertFalse(finished.exists(), "the launcher waited for the Application Manager")
        self.kit.wait_for(finished)


class StartTest(KitTestCase):
    """A registered Application Manager is started with both paths."""

    def test_registered_values_start_the_application_manager(self):
        path = self.app_manager_path
        cases = [
            ("REG_SZ with its terminator", REG_SZ, path + b"\0", ()),
            ("REG_SZ without a terminator", REG_SZ, path, ()),
            ("REG_EXPAND_SZ", REG_EXPAND_SZ, path + b"\0", ()),
            ("zero byte inside", REG_SZ, path + b"\0junk\0", ()),
            ("the launcher's own arguments change nothing", REG_SZ, path + b"\0",
             ("/x", "--setup", "C:\\other.ini")),
        ]
        kit_folder = self.kit.root / "kits" / "Kit With Spaces"
        exe = self.make_kit(kit_folder)
        for name, value_type, data, args in cases:
            with self.subTest(name):
                self.kit.register(value_type, data)
                registry_before, kit_before = self.kit.registration(), folder_state(kit_folder)

                code, calls = self.launch(exe, *args)

                self.assertEqual(code, 0)
                self.assert_started(calls, quoted(path) + b" " +
                                    quoted(self.ansi(kit_folder) + b"\\" + SETUP_FILE))
                names = [c.name for c in calls]
                self.assertNotIn("MessageBoxA", names)
                self.assertNotIn("GetActiveWindow", names)
                self.assertFalse(set(names) & set(REGISTRY_WRITES), "no registry write or flush")
                self.assertEqual(self.kit.registration(), registry_before)
                self.assertEqual(folder_state(kit_folder), kit_before)

    def test_registry_protocol(self):
        self.kit.register(REG_SZ, self.app_manager_path + b"\0")
        code, calls = self.launch(self.make_kit(self.kit.root / "kits" / "protocol"))

        self.assertEqual(code, 0)
        self.assertEqual([c.name for c in calls],
                         ["GetSystemMetrics", "RegOpenKeyExA", "RegQueryValueExA",
                          "RegQueryValueExA", "RegCloseKey", "GetModuleFileNameA", "WinExec"])
        metrics, open_key, size_query, data_query, close, module, _ = calls
        self.assertEqual(metrics.number(0), 42)  # SM_DBCSENABLED
        self.assertEqual(open_key.number(0) & 0xFFFFFFFF, 0x80000002)  # HKEY_LOCAL_MACHINE
        self.assertEqual(open_key.string(1), KEY_PATH)
        self.assertEqual(open_key.number(2), 0)
        self.assertEqual(open_key.number(3), 0x20019)  # KEY_READ
        for query in (size_query, data_query):
            self.assertEqual(query.string(1), b"")  # the default value, named by ""
            self.assertEqual(query.number(2), 0)  # reserved
        self.assertEqual(size_query.number(4), 0)  # no buffer: the size query
        self.assertNotEqual(data_query.number(4), 0)
        self.assertEqual({size_query.args[0], data_query.args[0], close.args[0]},
                         {size_query.args[0]})  # one key, closed once
        self.assertEqual(module.number(0), 0)
        self.assertEqual(module.number(2), 261)

    def test_missing_app_manager_file_is_not_reported(self):
        missing = self.app_manager_path.replace(b"CEAPPMGR.EXE", b"MISSING.EXE")
        self.kit.register(REG_SZ, missing + b"\0")
        kit_folder = self.kit.root / "kits" / "missing"
        code, calls = self.launch(self.make_kit(kit_folder))

        self.assertEqual(code, 0)
        self.assertEqual([c.name for c in calls][-1], "WinExec")
        self.assertEqual(calls[-1].string(0), quoted(missing) + b" " +
                         quoted(self.ansi(kit_folder) + b"\\" + SETUP_FILE))
        self.assertNotIn("MessageBoxA", [c.name for c in calls])


class MessageBoxTest(KitTestCase):
    """No usable registration: the user is told, then the start is tried."""

    def test_unusable_registration_shows_the_box(self):
        path = self.app_manager_path
        cases = [
            ("registration missing", None, None, "HKLM", "ok"),
            ("empty string", REG_SZ, b"", "HKLM", "esc"),
            ("only a zero byte", REG_SZ, b"\0", "HKLM", "close"),
            ("DWORD", REG_DWORD, b"\x01\0\0\0", "HKLM", "ok"),
            ("binary spelling the path", REG_BINARY, path + b"\0", "HKLM", "esc"),
            ("multi-string", REG_MULTI_SZ, path + b"\0" + path + b"\0\0", "HKLM", "close"),
            ("under HKEY_CURRENT_USER only", REG_SZ, path + b"\0", "HKCU", "ok"),
        ]
        kit_folder = self.kit.root / "kits" / "box"
        exe = self.make_kit(kit_folder)
        for name, value_type, data, root, close_with in cases:
            with self.subTest(name, close_with=close_with):
                self.kit.unregister("HKLM")
                self.kit.unregister("HKCU")
                if value_type is not None:
                    self.kit.register(value_type, data, root)
                self.kit.install_app_manager(self.app_manager.parent)
                launcher = self.kit.start(exe, trace=True)
                if SCREENSHOT and not Path(SCREENSHOT).exists():
                    self.kit.screenshot_box(SCREENSHOT)

                box = self.kit.inspect_box(close_with)
                code, stderr = self.kit.finish(launcher)
                calls = traced_calls(stderr, LAUNCHER)

                self.assertEqual(box["caption"], "MOVRA")
                self.assertEqual(bytes.fromhex(box["text"]), NOT_FOUND_TEXT)
                self.assertEqual(box["icon"], "1")
                self.assertEqual(box["button"], ["OK"])
                self.assertIn("closed", box)
                self.assertEqual(code, 0)
                names = [c.name for c in calls]
                self.assertEqual(names[-3:], ["GetActiveWindow", "MessageBoxA", "WinExec"])
                self.assertFalse(set(names) & set(REGISTRY_WRITES), "no registry write or flush")
                message = calls[-2]
                self.assertEqual(message.string(1), NOT_FOUND_TEXT)
                self.assertEqual(message.string(2), b"MOVRA")
                self.assertEqual(message.number(3), 0x10)  # MB_ICONERROR alone
                self.assertEqual(calls[-1].string(0),
                                 b'"" ' + quoted(self.ansi(kit_folder) + b"\\" + SETUP_FILE))
                self.assertFalse((self.app_manager.parent / "received.cmdline").exists())


class ModulePathTest(KitTestCase):
    """The Application Manager is handed the launcher's real folder."""

    def setUp(self):
        self.kit.register(REG_SZ, self.app_manager_path + b"\0")

    def assert_hands_on(self, command, folder_path):
        code, calls = self.launch(command)
        self.assertEqual(code, 0)
        self.assert_started(calls, quoted(self.app_manager_path) + b" " +
                            quoted(folder_path + SETUP_FILE))

    def test_drive_root(self):
        drive = self.kit.root / "drive-k"
        self.make_kit(drive)
        (Path(self.kit.env["WINEPREFIX"]) / "dosdevices" / "k:").symlink_to(drive)
        self.assert_hands_on("K:\\CEMovra_Other.exe", b"K:\\")

    def test_mapped_drive(self):
        # Wine reports a module on a UNC path as "UNC\host\share\...", not as
        # Windows does, so a share is reached through a drive letter here.
        share = self.kit.root / "share"
        self.make_kit(share / "kits" / "setup")
        (Path(self.kit.env["WINEPREFIX"]) / "dosdevices" / "n:").symlink_to(share)
        self.assert_hands_on("N:\\kits\\setup\\CEMovra_Other.exe", b"N:\\kits\\setup\\")

    def test_path_longer_than_260_bytes(self):
        folder = self.kit.root / "long" / ("f" * 120) / ("g" * 120) / "kit"
        exe = self.make_kit(folder)
        self.assertGreater(len(self.ansi(exe)), 260)
        self.assert_hands_on(exe, self.ansi(folder) + b"\\")


class JapaneseModulePathTest(KitTestCase):
    """Code page 932: a 0x5C that is the second byte of a character is no
    backslash."""
    lang = "ja_JP.UTF-8"
    encoding = "cp932"

    def test_second_bytes_0x5c(self):
        # ソ is 0x83 0x5C and 表 is 0x95 0x5C in code page 932.
        cases = [
            ("folder name ends in 0x5C", "ソ表", "CEMovra_Other.exe"),
            ("file name holds 0x5C", "kit", "ソ表.exe"),
            ("both", "表ソ", "表.exe"),
        ]
        for name, folder_name, exe_name in cases:
            with self.subTest(name):
                self.kit.register(REG_SZ, self.app_manager_path + b"\0")
                folder = self.kit.root / "jp" / folder_name
                exe = self.make_kit(folder, exe_name)
                code, calls = self.launch(exe)
                self.assertEqual(code, 0)
                self.assertEqual([c.name for c in calls][:2], ["GetSystemMetrics", "GetCPInfo"])
                self.assert_started(calls, quoted(self.app_manager_path) + b" " +
                                    quoted(self.ansi(folder) + b"\\" + SETUP_FILE))


class ImageTest(unittest.TestCase):
    """The exe file itself: self-contained GUI program with its icon."""

    def test_gui_subsystem_and_windows_imports_only(self):
        header = subprocess.run([OBJDUMP, "-p", str(LAUNCHER)], check=True, capture_output=True,
                                text=True).stdout
        self.assertIn("(Windows GUI)", header)
        imports = sorted(line.split(":")[1].strip().upper()
                         for line in header.splitlines() if "DLL Name:" in line)
        self.assertEqual(imports, ["ADVAPI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL", "USER32.DLL"])

    def test_resources_are_the_icon_group_alone(self):
        listing = subprocess.run(["wrestool", "-l", str(LAUNCHER)], check=True,
                                 capture_output=True, text=True).stdout
        groups = [line for line in listing.splitlines() if "type=group_icon" in line]
        self.assertEqual(len(groups), 1)
        self.assertIn("--name='MAINICON'", groups[0])
        others = [line for line in listing.splitlines()
                  if "type=group_icon" not in line and "type=icon" not in line]
        self.assertEqual(others, [], "no version block, no manifest, nothing else")

    def test_icon_has_six_images(self):
        icon = subprocess.run(["wrestool", "-x", "--type=group_icon", "--name=MAINICON",
                               str(LAUNCHER)], check=True, capture_output=True).stdout
        listing = subprocess.run(["icotool", "-l", "-"], input=icon, check=True,
                                 capture_output=True).stdout.decode()
        images = sorted((int(w), int(d)) for w, d in
                        (re.findall(r"--width=(\d+) .*--bit-depth=(\d+)", listing)))
        self.assertEqual(images, [(16, 4), (16, 8), (32, 4), (32, 8), (64, 4), (64, 8)])


if __name__ == "__main__":
    unittest.main()
