#!/usr/bin/python3
"""Makes a folder of programs run on Linux systems that do not have their libraries.

usage: linux-bundle.py FOLDER EXCLUDE-LIST QT-PLUGIN-DIR PROGRAM...

The PROGRAMs are already in FOLDER. The libraries they need, found from their dynamic sections
where this system's loader finds them, are copied into FOLDER/lib, and so are the libraries
those need, except the ones on the EXCLUDE-LIST (which the player's system must provide, and
whose own needs are then the system's business too). The Qt plugins that the linked Qt modules load at run
time go into FOLDER/plugins, with their libraries, and FOLDER/qt.conf points Qt at them.

Only the programs are changed: each gets a DT_RPATH of $ORIGIN/lib. Unlike a DT_RUNPATH, that
path serves every library loaded on the program's behalf, the plugins' among them, as long as the
library has no search path of its own (checked here), and it comes before LD_LIBRARY_PATH, so a
Qt that the player's environment names is not taken instead. The libraries stay as Debian built
them.

Prints, one a line, each copied library's file, its Debian package and the package's version
(tab-separated), for the licences; exits 1 on a library that cannot be found.
"""
import os
import re
import shutil
import subprocess
import sys

# The plugins that each Qt module loads at run time, below Qt's plugin folder. The editor reads
# and writes only PNG and BMP, which Qt Gui handles itself, so no image format plugin goes along;
# it draws with the raster engine, so no OpenGL integration either.
QT_PLUGINS = {
    "libQt6Gui.so.6": [
        "platforms/libqxcb.so",  # X11, and XWayland under a Wayland desktop
        "platforms/libqoffscreen.so",  # no display: the editor's --screenshot without X
        "platforminputcontexts/libcomposeplatforminputcontextplugin.so",  # dead and compose keys
        "platforminputcontexts/libibusplatforminputcontextplugin.so",  # input methods (CJK texts)
    ],
}


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def dynamic_section(path):
    """The NEEDED sonames and whether a RPATH or RUNPATH is set."""
    needed, search_path = [], False
    for line in run("readelf", "-d", "-W", path).splitlines():
        match = re.search(r"\(NEEDED\)\s+Shared library: \[(.+)\]", line)
        if match:
            needed.append(match.group(1))
        elif "(RPATH)" in line or "(RUNPATH)" in line:
            search_path = True
    return needed, search_path


def system_libraries():
    """Where this system's loader finds each 64-bit library by soname (its cache, ldconfig -p):
    the programs and the libraries taken have no search path of their own, so that is where the
    loader finds theirs."""
    found = {}
    for line in run("/sbin/ldconfig", "-p").splitlines():
        match = re.match(r"\s*(\S+) \((.*)\) => (\S+)$", line)
        if match and "x86-64" in match.group(2):
            found.setdefault(match.group(1), match.group(3))
    return found


def read_list(path):
    names = set()
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            name = line.split("#", 1)[0].strip()
            if name:
                names.add(name)
    return names


def debian_packages(paths):
    """{path: (package, version)} for the PATHS that a Debian package installed."""
    # Debian 12's /lib is /usr/lib, and packages name their files by either.
    names = {}
    for path in paths:
        for candidate in (path, os.path.realpath(path)):
            names[candidate] = path
            if candidate.startswith("/usr/lib/"):
                names[candidate[len("/usr"):]] = path
    result = subprocess.run(["dpkg-query", "-S", *names], capture_output=True, text=True)
    packages = {}
    for line in result.stdout.splitlines():
        package, _, name = line.partition(": ")
        if name in names:
            packages.setdefault(names[name], package.split(":")[0].split(",")[0].strip())
    versions = {}
    for line in run("dpkg-query", "-W", "-f=${Package}\t${Version}\n", *set(packages.values())).splitlines():
        package, version = line.split("\t")
        versions[package] = version
    return {path: (package, versions[package]) for path, package in packages.items()}


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    folder, exclude_list, plugin_dir, programs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    excluded = read_list(exclude_list)
    libraries = system_libraries()
    bundled = {}  # soname -> the system's file
    problems = []

    def take(objects):
        queue = list(objects)
        while queue:
            path = queue.pop()
            for soname in dynamic_section(path)[0]:
                if soname in excluded or soname in bundled:
                    continue
                if soname not in libraries:
                    problems.append(f"{path}: {soname} is not on this system")
                    continue
                bundled[soname] = os.path.realpath(libraries[soname])
                queue.append(bundled[soname])

    take(os.path.join(folder, program) for program in programs)

    copied = {}  # file below FOLDER -> the system's file
    for module, names in QT_PLUGINS.items():
        if module in bundled:
            for name in names:
                source = os.path.join(plugin_dir, name)
                if not os.path.isfile(source):
                    problems.append(f"{source}: the plugin is not there")
                    continue
                target = os.path.join("plugins", name)
                os.makedirs(os.path.join(folder, os.path.dirname(target)), exist_ok=True)
                shutil.copyfile(source, os.path.join(folder, target))
                copied[target] = source
    take(copied.values())

    os.makedirs(os.path.join(folder, "lib"), exist_ok=True)
    for soname, source in bundled.items():
        if dynamic_section(source)[1]:
            problems.append(f"{source}: has a search path of its own, which would hide the programs' one")
        shutil.copyfile(source, os.path.join(folder, "lib", soname))
        copied[os.path.join("lib", soname)] = source
    for program in programs:
        run("patchelf", "--force-rpath", "--set-rpath", "$ORIGIN/lib", os.path.join(folder, program))
    with open(os.path.join(folder, "qt.conf"), "w", encoding="utf-8") as conf:
        conf.write("[Paths]\nPrefix = .\nPlugins = plugins\n")

    packages = debian_packages(copied.values())
    for name, source in sorted(copied.items()):
        if source not in packages:
            problems.append(f"{source}: no Debian package holds it, so its licence is unknown")
        else:
            print(f"{name}\t{packages[source][0]}\t{packages[source][1]}")
    if problems:
        sys.exit("\n".join(problems))


if __name__ == "__main__":
    main()
