#!/usr/bin/env python3
"""Prints the notices of the third-party code compiled into a Qt build.

usage: qt-third-party.py QT_SOURCE BUILD_NINJA

Qt describes each third-party part in a qt_attribution.json beside it (one entry or a list,
optionally naming its files). A part counts when build.ninja compiles a source file of it.
"""
import json
import os
import re
import sys


def compiled_sources(build_ninja, source_root):
    """Source paths, relative to source_root, that the build compiles."""
    root = os.path.realpath(source_root) + os.sep
    pattern = re.compile(r"(\S+\.(?:c|cc|cpp|cxx|S|asm))\b")
    found = set()
    with open(build_ninja, encoding="utf-8", errors="replace") as ninja:
        for line in ninja:
            if not line.startswith("build "):
                continue
            for path in pattern.findall(line):
                path = path.replace("$ ", " ").replace("$:", ":")
                real = os.path.realpath(path)
                if real.startswith(root):
                    found.add(real[len(root):])
    return found


def entries(source_root):
    for folder, dirs, files in os.walk(source_root):
        dirs[:] = [d for d in dirs if d not in ("tests", "examples", "debian", ".pc")]
        if "qt_attribution.json" not in files:
            continue
        with open(os.path.join(folder, "qt_attribution.json"), encoding="utf-8") as f:
            data = json.load(f, strict=False)  # some hold raw line breaks in strings
        for entry in data if isinstance(data, list) else [data]:
            yield os.path.relpath(folder, source_root), entry


def used(folder, entry, sources):
    if entry.get("Files"):
        names = entry["Files"].split() if isinstance(entry["Files"], str) else entry["Files"]
        wanted = {os.path.normpath(os.path.join(folder, name)) for name in names}
        # A listed header counts through the source file of the same name.
        stems = {os.path.splitext(name)[0] for name in wanted}
        return any(os.path.splitext(s)[0] in stems or s in wanted for s in sources)
    prefix = folder + os.sep
    return any(s.startswith(prefix) for s in sources)


def main():
    source_root, build_ninja = sys.argv[1], sys.argv[2]
    sources = compiled_sources(build_ninja, source_root)
    print("Third-party code in the Qt libraries linked into trackwright.exe")
    print("=" * 64)
    for folder, entry in sorted(entries(source_root), key=lambda e: e[1].get("Name", "")):
        if not used(folder, entry, sources):
            continue
        print()
        print(entry.get("Name", entry.get("Id", folder)), entry.get("Version", "").strip())
        print("License:", entry.get("License", "see below"))
        if entry.get("Copyright"):
            print("Copyright:", entry["Copyright"].strip())
        licence = entry.get("LicenseFile")
        for name in (licence.split() if isinstance(licence, str) else licence or []):
            path = os.path.join(source_root, folder, name)
            if os.path.isfile(path):
                print()
                with open(path, encoding="utf-8", errors="replace") as f:
                    print(f.read().rstrip())
        print("-" * 64)


if __name__ == "__main__":
    main()
