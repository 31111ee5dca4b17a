#!/usr/bin/env python3
"""Checks that every include of the module's sources runs one way, downwards:

    common < platform < frame < model < settings < features < constraints < pages < lifecycle

The feature subsystems (features, device, fax, stamps, presets) form one layer.
Entry points (files named *_exports.cpp) sit at the top with the lifecycle: they
may include any layer.  The system's declarations (platform/win32.h and
platform/sspi.h: the SDK on Windows) are below everything, as the SDK is.  Prints each include that runs upwards; exits 1 if any.
"""
import os
import re
import sys

LAYERS = {
    "common": 0, "platform": 1, "frame": 2, "model": 3, "settings": 4,
    "features": 5, "device": 5, "fax": 5, "stamps": 5, "presets": 5,
    "constraints": 6, "pages": 7, "hostsupport": 7, "lifecycle": 8,
}
TOP = max(LAYERS.values())


def layer_of_file(path):
    folder = path.split("/")[0]
    if folder not in LAYERS:
        return None
    if path.endswith("_exports.cpp"):
        return TOP
    return LAYERS[folder]


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    include = re.compile(r'^[ \t]*#[ \t]*include[ \t]+"(([a-z_]+)/[^"]+)"', re.M)
    system = {"platform/win32.h", "platform/sspi.h"}
    faults = []
    for root, _, names in os.walk(src):
        for name in names:
            if not name.endswith((".h", ".cpp")):
                continue
            full = os.path.join(root, name)
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            own = layer_of_file(rel)
            if own is None:
                continue
            with open(full, encoding="utf-8", errors="replace") as f:
                text = f.read()
            for m in include.finditer(text):
                if m.group(1) in system:
                    continue
                target = LAYERS.get(m.group(2))
                if target is not None and target > own:
                    line = text.count("\n", 0, m.start()) + 1
                    faults.append(f"{rel}:{line}: includes {m.group(1)} from a lower layer")
    for fault in sorted(faults):
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
