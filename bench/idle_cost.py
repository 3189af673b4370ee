#!/usr/bin/python3
"""Idle cost of the real app against the simulated NetworkManager and a loopback detection page, for
60 s after it has settled. Two scenarios:

  joined-online  joined to an open network with verified internet (the window as the launch leaves it)
  window-open    nothing joined and no open network in reach, the main window open on a real (virtual)
                 X display and drawn by the software renderer: nothing is in progress, so nothing
                 should be drawn

  bench/idle_cost.py APP OUT.json [--seconds 60] [--scenario joined-online|window-open]

Writes one Google Benchmark style record with the counters cpu_percent (of one core), rss_mb,
private_mb (anonymous memory), probes and scans (requests the app made during the window) and, for
window-open, window_open (1 when the main window was found mapped on the display) for bench/report.py.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time
import urllib.request

import dbus

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from thread_cpu import thread_cpu_seconds  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
NETWORKS = [
    {"ssid": "Highlands Coffee Guest", "security": "open", "strength": 82, "frequency": 5180},
    {"ssid": "Home-5G", "security": "wpa2", "strength": 90, "frequency": 5745},
]
# Only networks the app must never join: it scans, finds nothing to do and waits.
LOCKED_NETWORKS = [
    {"ssid": "Home-5G", "security": "wpa2", "strength": 90, "frequency": 5745},
    {"ssid": "Office", "security": "wpa2", "strength": 64, "frequency": 2437},
]


def wait_for_line(path, prefix, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if os.path.exists(path):
            with open(path, encoding="utf-8") as handle:
                for line in handle:
                    if line.startswith(prefix):
                        return line[len(prefix):].strip()
        time.sleep(0.05)
    raise RuntimeError("%s gave no %r line" % (path, prefix))


def cpu_seconds(pid):
    return thread_cpu_seconds(pid)


def rss_mb(pid):
    with open("/proc/%d/status" % pid, encoding="utf-8") as handle:
        for line in handle:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def private_mb(pid):
    """Memory only this process holds (anonymous pages): what it costs beyond shared libraries."""
    with open("/proc/%d/smaps_rollup" % pid, encoding="utf-8") as handle:
        for line in handle:
            if line.startswith("Anonymous:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def probes(portal):
    with urllib.request.urlopen(portal + "__state") as reply:
        state = json.load(reply)
    return sum(1 for request in state.get("requests", []) if "hotspot-detect" in json.dumps(request))


def scans(bus_address):
    bus = dbus.bus.BusConnection(bus_address)
    manager = bus.get_object("org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager")
    total = 0
    for device in manager.GetDevices(dbus_interface="org.freedesktop.NetworkManager"):
        mock = dbus.Interface(bus.get_object("org.freedesktop.NetworkManager", device), "org.freedesktop.DBus.Mock")
        total += len(mock.GetMethodCalls("RequestScan"))
    return total


def main_window_mapped():
    """Whether a top-level window titled "BrewBeacon" is mapped on the X display."""
    if not os.environ.get("DISPLAY"):
        return False
    try:
        tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True, timeout=10).stdout
    except (OSError, subprocess.TimeoutExpired):
        return False
    return '"BrewBeacon"' in tree


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("app")
    parser.add_argument("out")
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--scenario", choices=["joined-online", "window-open"], default="joined-online")
    args = parser.parse_args()
    window_open = args.scenario == "window-open"
    if window_open and not os.environ.get("DISPLAY"):
        raise RuntimeError("the window-open scenario needs an X display (run it under xvfb-run)")
    work = tempfile.mkdtemp(prefix="brewbeacon-idle-")
    processes = []
    try:
        networks = os.path.join(work, "networks.json")
        with open(networks, "w", encoding="utf-8") as handle:
            json.dump(LOCKED_NETWORKS if window_open else NETWORKS, handle)
        env_file = os.path.join(work, "nm.env")
        joined = [] if window_open else ["--joined", NETWORKS[0]["ssid"]]
        processes.append(subprocess.Popen(
            [os.path.join(ROOT, "tools/simulated-networkmanager.py"), "--networks", networks,
             "--env-file", env_file] + joined, stdout=subprocess.DEVNULL))
        bus_address = wait_for_line(env_file, "BREWBEACON_SYSTEM_BUS_ADDRESS=")
        portal_out = os.path.join(work, "portal.out")
        with open(portal_out, "w", encoding="utf-8") as out:
            processes.append(subprocess.Popen(
                ["/usr/bin/python3", os.path.join(ROOT, "tools/captive-portal/captive_portal.py"), "--online"], stdout=out))
        portal = wait_for_line(portal_out, "listening on ")
        env = dict(os.environ, BREWBEACON_SYSTEM_BUS_ADDRESS=bus_address,
                   BREWBEACON_DETECTION_URL=portal + "hotspot-detect.html", BREWBEACON_DISABLE_ANALYTICS="1",
                   # The first update check falls inside the window: it must meet loopback, not the world.
                   BREWBEACON_SERVICE_URL="http://127.0.0.1:9",
                   XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_CACHE_HOME=os.path.join(work, "cache"),
                   QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"))
        if window_open:
            env.update(QT_QPA_PLATFORM="xcb", QT_QUICK_BACKEND="software")
        app = subprocess.Popen([args.app], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(app)
        time.sleep(10)  # start-up, first scan and checks
        if app.poll() is not None:
            raise RuntimeError("the app exited with %d" % app.returncode)
        cpu0, probes0, scans0, t0 = cpu_seconds(app.pid), probes(portal), scans(bus_address), time.time()
        time.sleep(args.seconds)
        cpu1, probes1, scans1, t1 = cpu_seconds(app.pid), probes(portal), scans(bus_address), time.time()
        record = {
            "name": "idle/app_window_open_nothing_joined" if window_open else "idle/app_joined_online", "run_type": "iteration", "iterations": 1,
            "real_time": (t1 - t0) * 1000, "cpu_time": (cpu1 - cpu0) * 1000, "time_unit": "ms",
            "cpu_percent": 100.0 * (cpu1 - cpu0) / (t1 - t0), "rss_mb": rss_mb(app.pid), "private_mb": private_mb(app.pid),
            "probes": probes1 - probes0, "scans": scans1 - scans0, "seconds": t1 - t0,
        }
        if window_open:
            record["window_open"] = 1 if main_window_mapped() else 0
            if not record["window_open"]:
                record["error_message"] = "the main window was not on the display"
        with open(args.out, "w", encoding="utf-8") as handle:
            json.dump({"benchmarks": [record]}, handle)
        print(json.dumps(record), file=sys.stderr)
    finally:
        for process in reversed(processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()


if __name__ == "__main__":
    sys.exit(main())
