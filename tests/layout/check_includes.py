#!/usr/bin/env python3
"""Checks the direction of every #include "folder/file.h" in src/, lib/ and include/.

The foundation sits below everything: include/ (basic types) < util, draw < kernel < settings; views, the ui
families and the feature subsystems use the foundation and each other through their tasks' client calls; the
task-free libraries under lib/ see only each other and include/. A few files of the foundation reach upward on
purpose; each is listed below with its reason, so a new one fails until it is argued for here.

Usage: check_includes.py ROOT        exit 1 and a line per wrong include when the tree breaks a rule
       check_includes.py --self-test shows that a wrong include is caught
"""
import os
import re
import sys
import tempfile

FOUNDATION = {"include", "util", "draw", "kernel", "settings", "platform"}
LIBS = {"lib/chartlib", "lib/jp2", "lib/lakechart", "lib/imaging", "lib/htmlview"}

# What each unit of the foundation may include besides itself. Everything else under src/ may include any unit of
# src/, lib/ or include/.
ALLOWED = {
    "include": set(),
    "util": {"include"},
    "draw": {"include"} | LIBS,
    "kernel": {"include", "platform"},
    "settings": {"include", "kernel", "platform", "util"},
    # The hardware layer: devices are driven by kernel tasks, write settings and fill bitmaps.
    "platform": {"include", "kernel", "settings", "util", "draw"} | LIBS,
}
for lib in LIBS:
    ALLOWED[lib] = {"include"} | LIBS

# (file, included header): deliberate exceptions.
EXCEPTIONS = {
    # The fatal-error path, the log and the unit's memory partitions are the drawing library's only services.
    ("src/draw/fonts.cpp", "kernel/error.h"): "a missing font is a fatal error",
    ("src/draw/fonts.cpp", "kernel/reset.h"): "a missing font is a fatal error",
    ("src/draw/bmp.cpp", "kernel/log.h"): "oversized copies are logged",
    ("src/draw/truetype.cpp", "kernel/log.h"): "oversized texts are logged",
    ("src/draw/truetype.cpp", "kernel/memory.h"): "the glyph cache lives in the unit's partitions",
    ("src/util/filename.cpp", "kernel/log.h"): "refused names are logged",
    ("src/util/filename.cpp", "kernel/memory.h"): "name blocks come from the unit's partitions",
    ("src/util/filename.cpp", "platform/datadir.h"): "file names are built in the data directory",
    ("src/util/filename.cpp", "platform/devices.h"): "device names follow the card layer's mount folder",
    ("src/util/byte_number_clock.cpp", "platform/shell.h"): "the calendar clock is set through the shell layer",
    ("src/util/convert.h", "settings/database.h"): "conversions take the store's unit types",
    ("src/kernel/process.cpp", "settings/database.h"): "process start opens the settings store",
    ("src/kernel/shutdown.h", "settings/database.h"): "shut-down hands the final save to the store",
    ("src/kernel/tasks_standin.h", "settings/database.h"): "stand-in tasks publish their mailboxes",
    ("src/settings/profile.cpp", "chart/chart_layer.h"): "the profile keeps the chart layer choices",
    ("src/settings/profile.h", "ui/menu/menu_priority.h"): "the profile keeps the menu priorities",
    ("src/platform/lcd.cpp", "chart/chart3d_standin.h"): "the display hands frames to the 3-D chart",
    ("src/platform/platform.cpp", "chart/chart_setup_standin.h"): "platform set-up starts the chart set-up",
    ("lib/jp2/jp2_unit_allocator.cpp", "kernel/memory.h"): "the decoder's built-in allocator",
    ("lib/chartlib/tide/tide_util.h", "chart/ch_cache.h"): "tide tables are read with the chart display's readers",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def unit_of_file(rel):
    parts = rel.split("/")
    if parts[0] == "include":
        return "include"
    if parts[0] == "lib":
        return "lib/" + parts[1]
    if len(parts) == 2:  # src/main.cpp
        return "main"
    return parts[1]


def unit_of_include(path):
    parts = path.split("/")
    if len(parts) < 2:
        return None  # same folder or a system header
    if parts[0] == "corvan":
        return "include"
    if "lib/" + parts[0] in LIBS:
        return "lib/" + parts[0]
    return parts[0]


def check(root):
    errors = []
    for top in ("src", "lib", "include"):
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                if not name.endswith((".h", ".cpp", ".c", ".hpp")):
                    continue
                path = os.path.join(folder, name)
                rel = os.path.relpath(path, root)
                unit = unit_of_file(rel)
                allowed = ALLOWED.get(unit)
                if allowed is None:
                    continue
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for match in INCLUDE.finditer(text):
                    target = unit_of_include(match.group(1))
                    if target is None or target == unit or target in allowed:
                        continue
                    if (rel, match.group(1)) in EXCEPTIONS:
                        continue
                    line = text.count("\n", 0, match.start()) + 1
                    errors.append(f"{rel}:{line}: {unit} must not include {match.group(1)}")
    return errors


def self_test():
    with tempfile.TemporaryDirectory() as root:
        def write(rel, text):
            os.makedirs(os.path.dirname(os.path.join(root, rel)), exist_ok=True)
            with open(os.path.join(root, rel), "w") as f:
                f.write(text)
        write("src/draw/line.cpp", '#include "draw/line.h"\n#include "corvan/types.h"\n')
        write("src/view/view.cpp", '#include "draw/line.h"\n#include "kernel/task.h"\n')
        if check(root):
            print("self-test: a clean tree was refused")
            return 1
        write("src/draw/box.cpp", '#include "draw/line.h"\n#include "view/view.h"\n')
        write("lib/jp2/jp2.cpp", '#include "kernel/task.h"\n')
        errors = check(root)
        expected = {"src/draw/box.cpp:2: draw must not include view/view.h",
                    "lib/jp2/jp2.cpp:1: lib/jp2 must not include kernel/task.h"}
        if set(errors) != expected:
            print("self-test: expected", sorted(expected), "got", errors)
            return 1
    print("self-test: wrong includes are caught")
    return 0


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--self-test":
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    errors = check(sys.argv[1])
    for e in errors:
        print(e)
    print(f"{len(errors)} wrong includes" if errors else "include directions hold")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
