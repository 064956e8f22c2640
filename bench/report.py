"""Start-to-exit overhead and size figures for the Windows builds.

Usage: report.py PAIRS
"""
import re
import statistics
import subprocess
import sys
import time
from collections import Counter
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from winekit import REG_SZ, WineKit, windows_path  # noqa: E402

PRESETS = ("windows-x86", "windows-x64")


def timed(kit, exe):
    start = time.perf_counter()
    code, _ = kit.finish(kit.start(exe, env={"STANDIN_LINGER_MS": "0"}))
    elapsed = time.perf_counter() - start
    assert code == 0, f"{exe} exited with {code}"
    return elapsed


def overhead(build, pairs):
    """Median of launcher time / floor time over pairs run alternately."""
    kit = WineKit(build / "tests" / "e2e", build / "CEMovra_Other.exe")
    try:
        app_manager = kit.install_app_manager(kit.root / "CE Tools")
        kit.register(REG_SZ, windows_path(app_manager).encode() + b"\0")
        launcher, floor = build / "CEMovra_Other.exe", build / "bench" / "floor.exe"
        for _ in range(3):  # warm the prefix and the file cache
            timed(kit, launcher), timed(kit, floor)
        ratios, launcher_times, floor_times = [], [], []
        for _ in range(pairs):
            launcher_times.append(timed(kit, launcher))
            floor_times.append(timed(kit, floor))
            ratios.append(launcher_times[-1] / floor_times[-1])
        return (statistics.median(ratios), statistics.median(launcher_times),
                statistics.median(floor_times))
    finally:
        kit.close()


def categorise(member):
    archive = member.split("(")[0].rsplit("/", 1)[-1]
    if archive in ("liblauncher_core.a", "libwindows_platform.a") or archive.endswith("Main.cpp.obj"):
        return "launcher code"
    if archive.startswith(("libstdc++", "libsupc++")):
        return "C++ library"
    if archive.startswith(("libgcc", "crtbegin", "crtend")):
        return "GCC runtime (unwinder)"
    if archive.startswith(("libkernel32", "libuser32", "libadvapi32")):
        return "import thunks"
    return "C runtime start-up (MinGW)"


def size_report(build):
    exe = build / "CEMovra_Other.exe"
    total = exe.stat().st_size
    header = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", str(exe)], check=True,
                            capture_output=True, text=True).stdout
    sections = {m.group(1): int(m.group(2), 16)
                for m in re.finditer(r"^\s*\d+\s+(\.\w+)\s+([0-9a-f]+)", header, re.M)}
    shares = Counter()
    pending = None
    for line in (build / "CEMovra_Other.map").read_text().splitlines():
        alone = re.match(r"^ (\.\S+)\s*$", line)
        if alone:
            pending = alone.group(1)
            continue
        m = re.match(r"^ (\.\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+)$", line)
        section = (m.group(1) or pending) if m else None
        pending = None
        stored = m and not section.startswith((".debug", ".rsrc", ".bss", "COMMON"))
        if stored and re.search(r"\.(o|obj)\)?$", m.group(3)):
            shares[categorise(m.group(3))] += int(m.group(2), 16)
    shares["icon and resource directory (.rsrc)"] = sections.get(".rsrc", 0)
    print(f"  {exe.relative_to(ROOT)}: {total} bytes ({total / 1024:.1f} KiB)")
    for name, size in shares.most_common():
        print(f"    {name:38} {size:7} bytes")
    print(f"    {'PE headers, import tables, alignment':38} {total - sum(shares.values()):7} bytes")


def main():
    pairs = int(sys.argv[1]) if len(sys.argv) > 1 else 40
    print("== Size (target for windows-x86: at most 128 KiB)")
    for preset in PRESETS:
        size_report(ROOT / "build" / preset)
    print()
    print(f"== Start-to-exit under Wine, {pairs} alternating pairs (target: median ratio <= 1.05)")
    for preset in PRESETS:
        ratio, launcher, floor = overhead(ROOT / "build" / preset, pairs)
        print(f"  {preset}: launcher {launcher * 1000:.1f} ms, floor {floor * 1000:.1f} ms,"
              f" median ratio {ratio:.3f}")


if __name__ == "__main__":
    main()
