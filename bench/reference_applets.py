#!/usr/bin/python3
"""The two reference network applets of the footprint bench, unpacked for the bench only.

Their Debian packages depend on the NetworkManager daemon, and installing them would also install and
start it, taking over the machine's interfaces. So nothing is installed: the applets' packages and the
libraries missing here are downloaded with `apt-get download` and unpacked with `dpkg-deb -x` into a
cache folder (no maintainer script runs, no service starts), and the applets run from there against
the simulated NetworkManager's private bus.

  bench/reference_applets.py CACHE      unpack (when missing) and print what would run

prepare(cache) returns {name: Applet or reason it cannot run}.
"""
import os
import re
import shutil
import subprocess
import sys
from dataclasses import dataclass

APPLETS = {
    # name: (package, program inside the package)
    "nm-tray": ("nm-tray", "usr/bin/nm-tray"),
    "nm-applet": ("network-manager-gnome", "usr/bin/nm-applet"),
}
# Never fetched: the daemon is what the simulated NetworkManager stands in for.
NEVER = {"network-manager", "modemmanager", "wpasupplicant"}
ARCH_LIBS = "usr/lib/x86_64-linux-gnu"


@dataclass
class Applet:
    name: str
    argv: list
    env: dict


def installed(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status}", package], capture_output=True, text=True)
    return result.returncode == 0 and result.stdout.endswith(" installed")


def dependency_groups(package):
    """Depends and Pre-Depends of a package as groups of alternatives; a name in <> is virtual."""
    out = subprocess.run(["apt-cache", "depends", "--important", package], capture_output=True, text=True,
                         check=True).stdout
    groups, current = [], []
    for line in out.splitlines():
        match = re.match(r"^ (\|| )(Pre)?Depends: (.+)$", line)
        if not match:
            continue
        current.append(match.group(3).split(":")[0])
        if match.group(1) != "|":
            groups.append(current)
            current = []
    return groups


def missing_packages(roots):
    """The packages to unpack: the roots and every dependency not installed here. A group that names a
    virtual package (a terminal, a policy agent, a session bus) is a service the bench provides or the
    applets do without, and is left out, as is anything in NEVER."""
    wanted, queue = [], list(roots)
    while queue:
        package = queue.pop(0)
        if package in wanted:
            continue
        wanted.append(package)
        for group in dependency_groups(package):
            if any(name.startswith("<") for name in group) or any(name in NEVER for name in group):
                continue
            if any(installed(name) or name in wanted for name in group):
                continue
            queue.append(group[0])
    return wanted


def unpack(cache, packages):
    debs = os.path.join(cache, "debs")
    root = os.path.join(cache, "root")
    os.makedirs(debs, exist_ok=True)
    subprocess.run(["apt-get", "download", "-q", "-o", "APT::Sandbox::User=root"] + packages, cwd=debs, check=True,
                   stdout=subprocess.DEVNULL)
    for deb in sorted(os.listdir(debs)):
        if deb.endswith(".deb"):
            subprocess.run(["dpkg-deb", "-x", os.path.join(debs, deb), root], check=True)
    schemas = os.path.join(root, "usr/share/glib-2.0/schemas")
    if os.path.isdir(schemas) and shutil.which("glib-compile-schemas"):
        subprocess.run(["glib-compile-schemas", schemas], check=True)


def environment(root, bus_address):
    libs = [os.path.join(root, ARCH_LIBS), os.path.join(root, "lib/x86_64-linux-gnu")]
    return {
        "DBUS_SYSTEM_BUS_ADDRESS": bus_address,
        "LD_LIBRARY_PATH": ":".join(libs),
        "QT_PLUGIN_PATH": os.path.join(root, ARCH_LIBS, "qt5/plugins"),
        "XDG_DATA_DIRS": os.path.join(root, "usr/share") + ":/usr/share",
        "GSETTINGS_SCHEMA_DIR": os.path.join(root, "usr/share/glib-2.0/schemas"),
        "GSETTINGS_BACKEND": "memory",
        "QT_QPA_PLATFORM": "xcb",
    }


def prepare(cache, bus_address=""):
    """Unpacks what is missing (once per cache folder) and returns each applet or why it cannot run."""
    cache = os.path.abspath(cache)
    root = os.path.join(cache, "root")
    applets = {}
    for name, (package, program) in APPLETS.items():
        path = os.path.join(root, program)
        if not os.path.exists(path):
            try:
                unpack(cache, missing_packages([package]))
            except (OSError, subprocess.CalledProcessError) as error:
                applets[name] = "could not download or unpack %s: %s" % (package, error)
                continue
        if not os.path.exists(path):
            applets[name] = "%s has no %s" % (package, program)
            continue
        applets[name] = Applet(name, [path], environment(root, bus_address))
    return applets


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    for name, applet in prepare(argv[1]).items():
        print(name, applet.argv if isinstance(applet, Applet) else "skipped: " + applet)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
