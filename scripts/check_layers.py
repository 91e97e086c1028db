#!/usr/bin/env python3
"""Fails when a source file includes a header from a layer above its own.

Layers, top to bottom: app > (hints, lbbutton, widgets, tonegen) > controls >
(canvas, layout, sound) > core. The four middle folders do not include each other, tonegen
uses only the floors below controls, layout reads colour names from canvas, and the floors
below controls stay clear of Qt Widgets. The build enforces the same graph (each library's
include folder holds only that library); this script names the offending line.
tests/ and bench/ may include anything.

check_layers.py [root]       check the tree at root (default: the repository)
check_layers.py --self-test  check that the rules catch what they should
"""

import pathlib
import re
import subprocess
import sys
import tempfile

GROUND = {"canvas", "layout", "sound", "core"}
ALLOWED = {
    "core": {"core"},
    "canvas": {"canvas", "core"},
    "layout": {"layout", "canvas", "core"},
    "sound": {"sound", "core"},
    "controls": {"controls"} | GROUND,
    "tonegen": {"tonegen", "layout", "sound", "core"},
    "widgets": {"widgets", "controls"} | GROUND,
    "lbbutton": {"lbbutton", "controls"} | GROUND,
    "hints": {"hints", "controls"} | GROUND,
    "app": {"app", "hints", "lbbutton", "widgets", "tonegen", "controls"} | GROUND,
}
NO_QT_WIDGETS = GROUND | {"tonegen"}
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.MULTILINE)


def qt_widgets_headers():
    try:
        headers = subprocess.run(["qmake6", "-query", "QT_INSTALL_HEADERS"], capture_output=True,
                                 text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        headers = "/usr/include/x86_64-linux-gnu/qt6"
    folder = pathlib.Path(headers) / "QtWidgets"
    names = {p.name for p in folder.iterdir()} if folder.is_dir() else set()
    if "QWidget" not in names:
        sys.exit(f"check_layers: cannot find the Qt Widgets headers in {folder}")
    return names


def violations(root, widget_headers):
    found = []
    for layer, allowed in ALLOWED.items():
        folder = root / layer
        if not folder.is_dir():
            continue
        for path in sorted(folder.rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES:
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in INCLUDE.finditer(text):
                kind, header = match.groups()
                line = text.count("\n", 0, match.start()) + 1
                where = f"{path.relative_to(root)}:{line}"
                target = header.split("/", 1)[0] if "/" in header else None
                if kind == '"' and target in ALLOWED and target not in allowed:
                    found.append(f"{where}: {layer} includes {header} from layer {target}")
                if layer in NO_QT_WIDGETS and kind == "<" and (
                        header.startswith("QtWidgets/") or header in widget_headers):
                    found.append(f"{where}: {layer} includes the Qt Widgets header {header}")
    return found


def self_test(widget_headers):
    cases = [
        ("canvas/A.cpp", '#include "controls/Forms.h"\n', 1),
        ("sound/B.cpp", "#include <QWidget>\n", 1),
        ("core/J.h", '#include "canvas/Colors.h"\n', 1),
        ("sound/K.cpp", '#include "layout/LayoutReader.h"\n', 1),
        ("tonegen/L.cpp", '#include "canvas/Canvas.h"\n', 1),
        ("layout/M.cpp", '#include "canvas/Colors.h"\n#include "core/Exception.h"\n', 0),
        ("tonegen/C.cpp", '#include "widgets/iKnob.h"\n', 1),
        ("tonegen/D.cpp", "#include <QtWidgets/QMessageBox>\n", 1),
        ("widgets/E.h", '#include "tonegen/ToneGen.h"\n', 1),
        ("controls/F.cpp", '#include "app/Unit1.h"\n', 1),
        ("app/G.cpp", '#include "widgets/iKnob.h"\n#include "controls/Forms.h"\n', 0),
        ("widgets/H.cpp", "#include <QWidget>\n#include \"canvas/Canvas.h\"\n", 0),
        ("tests/I.cpp", '#include "app/Unit1.h"\n', 0),
    ]
    failures = 0
    for name, text, expected in cases:
        with tempfile.TemporaryDirectory() as tmp:
            root = pathlib.Path(tmp)
            (root / name).parent.mkdir(parents=True)
            (root / name).write_text(text)
            got = len(violations(root, widget_headers))
            if got != expected:
                print(f"self-test: {name} gave {got} violation(s), expected {expected}")
                failures += 1
    return failures


def main():
    widget_headers = qt_widgets_headers()
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(1 if self_test(widget_headers) else 0)
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    found = violations(root.resolve(), widget_headers)
    for line in found:
        print(line)
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()
