"""A private Wine prefix with its own headless X display, and the fixtures
that stand in for the CE Application Manager and its registration.

Used by the end-to-end tests and by the demo. Nothing outside the prefix's
own temporary folder is touched: the user's ~/.wine, display and other Wine
servers are left alone, and close() stops only what this kit started.
"""
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7

# Registry functions that write or flush: none may be called by the launcher.
REGISTRY_WRITES = ("RegFlushKey", "RegSetValueExA", "RegSetValueA", "RegCreateKeyExA",
                   "RegCreateKeyA", "RegDeleteKeyA", "RegDeleteValueA")
# The Windows functions whose calls the relay trace records.
TRACED = (
    ["advapi32." + f for f in ("RegOpenKeyExA", "RegQueryValueExA", "RegCloseKey") + REGISTRY_WRITES]
    + ["user32." + f for f in ("GetSystemMetrics", "GetActiveWindow", "MessageBoxA")]
    + ["kernel32." + f for f in ("GetModuleFileNameA", "GetCPInfo", "WinExec")]
)


def windows_path(unix_path):
    """The path under Wine's Z: drive, which maps the Unix root."""
    return "Z:" + str(unix_path).replace("/", "\\")


def image_range(exe):
    """The address range [start, end) of exe's image, from its PE header."""
    header = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], check=True,
                            capture_output=True, text=True).stdout
    base = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)", header, re.M).group(1), 16)
    size = int(re.search(r"^SizeOfImage\s+([0-9a-fA-F]+)", header, re.M).group(1), 16)
    return base, base + size


def decode_debugstr(text):
    """Bytes of a string as Wine's trace prints it."""
    out, i = bytearray(), 0
    escapes = {"n": 10, "r": 13, "t": 9, '"': 34, "\\": 92}
    while i < len(text):
        if text[i] != "\\":
            out += text[i].encode("latin-1")
            i += 1
        elif text[i + 1] == "x":
            out.append(int(text[i + 2:i + 4], 16))
            i += 4
        else:
            out.append(escapes[text[i + 1]])
            i += 2
    return bytes(out)


class Call:
    """One traced call: the function's name and its arguments as printed."""

    def __init__(self, name, args):
        self.name, self.args = name, args

    def string(self, index):
        """The bytes of argument index, a string, as far as the trace printed
        it: Wine cuts a long string, and then prints "... after it."""
        match = re.fullmatch(r'[0-9a-fA-F]+ "(.*)"(\.\.\.)?', self.args[index], re.S)
        return decode_debugstr(match.group(1))

    def number(self, index):
        return int(self.args[index].split(" ")[0], 16)

    def __repr__(self):
        return f"{self.name}({','.join(self.args)})"


def split_args(text):
    """Splits the trace's argument list at commas outside quoted strings."""
    args, current, quoted, i = [], "", False, 0
    while i < len(text):
        c = text[i]
        if quoted and c == "\\":
            current += text[i:i + 2]
            i += 2
            continue
        if c == '"':
            quoted = not quoted
        if c == "," and not quoted:
            args.append(current)
            current = ""
        else:
            current += c
        i += 1
    return args + [current] if current or args else args


def loader_for(exe):
    """The Wine loader for exe's architecture. Debian's "wine" hands a 64-bit
    exe on through start.exe, which fails on paths over 260 bytes; the
    64-bit loader itself runs it directly."""
    with open(exe, "rb") as image:
        header = image.read(4096)
    pe = int.from_bytes(header[0x3C:0x40], "little")
    machine = int.from_bytes(header[pe + 4:pe + 6], "little")
    return (shutil.which("wine64") or "/usr/lib/wine/wine64") if machine == 0x8664 else "wine"


class WineKit:
    def __init__(self, fixtures, program, lang="C.UTF-8"):
        """A prefix and display in which program, an exe, is started."""
        self.fixtures = Path(fixtures)
        self.loader = loader_for(program)
        self.root = Path(tempfile.mkdtemp(prefix="launcher-wine-"))
        self._xvfb, display = self._start_xvfb()
        self.env = dict(os.environ, WINEPREFIX=str(self.root / "prefix"), WINEDEBUG="-all",
                        DISPLAY=display, LANG=lang, LC_ALL=lang,
                        # No Mono or Gecko installer prompts in a fresh prefix.
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("WINESERVER", None)
        subprocess.run(["wineboot", "-i"], env=self.env, check=True, capture_output=True,
                       timeout=300)
        self.wine("reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/d",
                  ";".join(TRACED), "/f")
        # Without a window manager, Wine draws the caption bar itself.
        self.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N",
                  "/f")

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                 "1024x768x24", "-nolisten", "tcp"],
                                pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            xvfb.kill()
            raise RuntimeError("Xvfb did not start")
        return xvfb, ":" + number

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True, timeout=60)
        self._xvfb.terminate()
        self._xvfb.wait(timeout=30)
        shutil.rmtree(self.root, ignore_errors=True)

    def wine(self, *args, timeout=60, check=True):
        """Runs a Windows program to its end; returns the completed process."""
        result = subprocess.run(["wine", *map(str, args)], env=self.env, capture_output=True,
                                timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"wine {args} failed with {result.returncode}: {result.stderr!r}")
        return result

    def start(self, *args, trace=False, env=None):
        """Starts the program (args[0] names its copy) and returns at once. Its output goes to
        files, not pipes: a program that it starts inherits them, and must
        not hold up the wait for its end. Read it with output()."""
        env = dict(self.env, **(env or {}))
        if trace:
            env["WINEDEBUG"] = "-all,+relay"
        stderr = tempfile.TemporaryFile(dir=self.root)
        process = subprocess.Popen([self.loader, *map(str, args)], env=env,
                                   stdout=subprocess.DEVNULL, stderr=stderr)
        process.stderr_file = stderr
        return process

    @staticmethod
    def finish(process, timeout=120):
        """Waits for a started program's end; returns its exit code and stderr."""
        code = process.wait(timeout=timeout)
        with process.stderr_file as stderr:
            stderr.seek(0)
            return code, stderr.read()

    # The Application Manager's registration.
    def register(self, value_type, data, root="HKLM"):
        self.wine(self.fixtures / "RegFixture.exe", "set", root, value_type, data.hex() or "-")

    def unregister(self, root="HKLM"):
        self.wine(self.fixtures / "RegFixture.exe", "delete", root)

    def registration(self, root="HKLM"):
        """The key's values and last write time, as text."""
        return self.wine(self.fixtures / "RegFixture.exe", "show", root).stdout.decode()

    def install_app_manager(self, folder):
        """Puts the stand-in Application Manager into folder; returns its path."""
        folder.mkdir(parents=True, exist_ok=True)
        shutil.copy(self.fixtures / "CEAPPMGR.exe", folder / "CEAPPMGR.EXE")
        for record in ("received.cmdline", "finished"):
            (folder / record).unlink(missing_ok=True)
        return folder / "CEAPPMGR.EXE"

    def inspect_box(self, close_with, timeout_ms=20000):
        """Reports the launcher's message box and closes it: a dict of its parts."""
        result = self.wine(self.fixtures / "BoxInspector.exe", "MOVRA", close_with, timeout_ms,
                           timeout=timeout_ms / 1000 + 30, check=False)
        if result.returncode == 3:
            raise AssertionError("no message box appeared")
        report = {"button": []}
        for line in result.stdout.decode().splitlines():
            key, _, value = line.partition(" ")
            if key == "button":
                report["button"].append(value)
            else:
                report[key] = value
        return report

    def screenshot_box(self, target, timeout=20):
        """Waits for the launcher's message box and saves a picture of it."""
        found = subprocess.run(["xdotool", "search", "--sync", "--name", "^MOVRA$"], env=self.env,
                               capture_output=True, text=True, timeout=timeout)
        time.sleep(0.5)  # let it finish drawing
        subprocess.run(["import", "-window", found.stdout.split()[0], str(target)], env=self.env,
                       check=True, capture_output=True)

    @staticmethod
    def wait_for(path, timeout=30):
        deadline = time.monotonic() + timeout
        while not path.exists():
            if time.monotonic() > deadline:
                raise AssertionError(f"{path} did not appear within {timeout} s")
            time.sleep(0.1)


def traced_calls(stderr, exe):
    """The traced calls that exe's own code made, in order, from the relay
    trace on stderr. Other programs trace into it too (the Application
    Manager it starts, Wine's own services, whose images may lie at the same
    address), so only the thread that asked GetSystemMetrics(SM_DBCSENABLED),
    the launcher's first call, counts, and only calls from exe's image."""
    start, end = image_range(exe)
    calls, thread = [], None
    for line in stderr.decode("latin-1").splitlines():
        match = re.match(r"([0-9a-f]+):Call (\w+)\.(\w+)\((.*)\) ret=([0-9a-f]+)$", line)
        if not match or not start <= int(match.group(5), 16) < end:
            continue
        call = Call(match.group(3), split_args(match.group(4)))
        if thread is None and call.name == "GetSystemMetrics" and call.number(0) == 42:
            thread = match.group(1)
        if match.group(1) == thread:
            calls.append(call)
    return calls
