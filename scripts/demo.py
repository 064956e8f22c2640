"""Runs the launcher once in a demo kit under Wine and shows what happened.

Usage: demo.py BUILD_DIR  (a windows-x86 or windows-x64 build)
"""
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from winekit import REG_SZ, WineKit, windows_path  # noqa: E402

build = Path(sys.argv[1]).resolve()
launcher = build / "CEMovra_Other.exe"
kit = WineKit(build / "tests" / "e2e", launcher)
try:
    app_manager = kit.install_app_manager(kit.root / "Program Files" / "CE Tools")
    kit.register(REG_SZ, windows_path(app_manager).encode() + b"\0")
    kit_folder = kit.root / "Demo Kit"
    kit_folder.mkdir()
    shutil.copy(launcher, kit_folder)
    (kit_folder / "MovraCE_Other.ini").write_text("[CEAppManager]\n")

    code, _ = kit.finish(kit.start(kit_folder / launcher.name))
    record = app_manager.parent / "received.cmdline"
    kit.wait_for(record)
    print(f"launcher:            {launcher}")
    print(f"ran as:              {windows_path(kit_folder / launcher.name)}")
    print(f"registered at:       {windows_path(app_manager)}")
    print(f"exit code:           {code}")
    print(f"Application Manager received the command line:\n  {record.read_bytes().decode()}")
finally:
    kit.close()
