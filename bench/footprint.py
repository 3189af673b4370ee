#!/usr/bin/python3
"""What the app costs while it sits in the tray, beside the two reference network applets measured in
the same run against the same simulated NetworkManager (private buses, the X display of
scripts/with-test-services).

  bench/footprint.py APP OUT.json [--applets CACHE] [--idle-seconds 60] [--cpu-seconds 30]

For the app and for each applet: resident and proportional memory (PSS, from smaps_rollup) summed
over its process tree, CPU of one core over --cpu-seconds, and the D-Bus messages it sends on the
private system bus per minute, all at idle: joined to an open network with verified internet and no
window open. The app's launch opens its main window, which the bench closes as a user would (the
window manager's close request). Then, for the app only:

  reopened  the main window opened again the way the launcher does it (a second start asks the
            running one to come forward), drawn, closed, and the memory read once it settled
  portal    the demo's flow: an open cafe network behind a loopback captive portal, joined and
            signed in by the hidden attempt; the peak memory of the app's process tree (portal
            helpers included) from launch to the verified sign-in, and the time that took

Writes Google Benchmark style records (footprint/<program>, counters) for bench/report.py. An applet
that cannot be unpacked or started gets a record with the reason instead of figures.
"""
import argparse
import ctypes
import ctypes.util
import json
import os
import subprocess
import sys
import tempfile
import time

import dbus

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import reference_applets  # noqa: E402
from thread_cpu import thread_cpu_seconds  # noqa: E402

IDLE_NETWORKS = [
    {"ssid": "Highlands Coffee Guest", "security": "open", "strength": 82, "frequency": 5180},
    {"ssid": "Home-5G", "security": "wpa2", "strength": 90, "frequency": 5745},
]
MAIN_WINDOW_TITLE = "BrewBeacon"


# --- processes -------------------------------------------------------------------------------------

def process_tree(root_pid):
    """The pid and every living descendant of it."""
    parents = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry, encoding="utf-8") as handle:
                parents[int(entry)] = int(handle.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
    tree, queue = [], [root_pid]
    while queue:
        pid = queue.pop()
        tree.append(pid)
        queue.extend(child for child, parent in parents.items() if parent == pid)
    return tree


def memory_mb(root_pid):
    """Resident and proportional memory of the process tree, in MB."""
    rss = pss = 0
    for pid in process_tree(root_pid):
        try:
            with open("/proc/%d/smaps_rollup" % pid, encoding="utf-8") as handle:
                for line in handle:
                    if line.startswith("Rss:"):
                        rss += int(line.split()[1])
                    elif line.startswith("Pss:"):
                        pss += int(line.split()[1])
        except OSError:
            continue
    return rss / 1024.0, pss / 1024.0


def cpu_seconds(root_pid):
    """CPU time of the process tree in seconds."""
    return sum(thread_cpu_seconds(pid) for pid in process_tree(root_pid))


def wait_for_line(path, prefix, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if os.path.exists(path):
            with open(path, encoding="utf-8", errors="replace") as handle:
                for line in handle:
                    if line.startswith(prefix):
                        return line[len(prefix):].strip()
        time.sleep(0.05)
    raise RuntimeError("%s gave no %r line" % (path, prefix))


def file_contains(path, text):
    try:
        with open(path, encoding="utf-8", errors="replace") as handle:
            return text in handle.read()
    except OSError:
        return False


# --- the X display: finding and closing a top-level window ----------------------------------------

class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def mapped_windows(title):
    """Ids of the mapped top-level windows of that exact title."""
    try:
        tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True, timeout=10).stdout
    except (OSError, subprocess.TimeoutExpired):
        return []
    found = []
    for line in tree.splitlines():
        parts = line.split(None, 1)
        if len(parts) == 2 and parts[0].startswith("0x") and parts[1].startswith('"%s":' % title):
            info = subprocess.run(["xwininfo", "-id", parts[0]], capture_output=True, text=True, timeout=10).stdout
            if "Map State: IsViewable" in info:
                found.append(int(parts[0], 16))
    return found


def request_close(window_id):
    """What a window manager's close button sends: WM_PROTOCOLS / WM_DELETE_WINDOW."""
    xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(_Event)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        raise RuntimeError("no X display")
    event = _Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window_id
    event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    xlib.XSendEvent(display, window_id, 0, 0, ctypes.byref(event))
    xlib.XFlush(display)
    xlib.XCloseDisplay(display)


def wait_for_window(title, present, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if bool(mapped_windows(title)) == present:
            return True
        time.sleep(0.2)
    return False


def close_windows(title):
    for window in mapped_windows(title):
        request_close(window)
    if not wait_for_window(title, False, 10):
        raise RuntimeError("the %r window did not close" % title)


# --- the private system bus -----------------------------------------------------------------------

class SentMessages:
    """Counts the messages the given processes send on the bus, through a monitor connection."""

    def __init__(self, address, pids, folder):
        self.address = address
        bus = dbus.bus.BusConnection(address)
        daemon = dbus.Interface(bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"), "org.freedesktop.DBus")
        self.names = set()
        for name in daemon.ListNames():
            if name.startswith(":"):
                try:
                    if int(daemon.GetConnectionUnixProcessID(name)) in pids:
                        self.names.add(str(name))
                except dbus.DBusException:
                    continue
        bus.close()
        self.log = os.path.join(folder, "monitor-%d.log" % time.monotonic_ns())
        self.monitor = None
        self.started = 0.0

    def start(self):
        rules = ["sender='%s'" % name for name in sorted(self.names)]
        if not rules:
            return
        with open(self.log, "w", encoding="utf-8") as out:
            self.monitor = subprocess.Popen(["dbus-monitor", "--address", self.address, "--profile"] + rules,
                                            stdout=out, stderr=subprocess.DEVNULL)
        self.started = time.time()

    def per_minute(self):
        if not self.names:
            return 0.0
        elapsed = time.time() - self.started
        self.monitor.terminate()
        self.monitor.wait(5)
        count = 0
        with open(self.log, encoding="utf-8", errors="replace") as handle:
            for line in handle:
                fields = line.split("\t")
                if len(fields) > 3 and not line.startswith("#") and fields[3] in self.names:
                    count += 1
        return 60.0 * count / elapsed


# --- scenarios ------------------------------------------------------------------------------------

def measure_idle(process, bus_address, folder, idle_seconds, cpu_seconds_window):
    """Memory now, then CPU over the first cpu window and D-Bus messages over the whole idle window."""
    rss, pss = memory_mb(process.pid)
    messages = SentMessages(bus_address, set(process_tree(process.pid)), folder)
    messages.start()
    cpu0, t0 = cpu_seconds(process.pid), time.time()
    time.sleep(cpu_seconds_window)
    cpu1, t1 = cpu_seconds(process.pid), time.time()
    time.sleep(max(0.0, idle_seconds - cpu_seconds_window))
    per_minute = messages.per_minute()
    if process.poll() is not None:
        raise RuntimeError("exited with %d while idle" % process.returncode)
    return {"idle_rss_mb": rss, "idle_pss_mb": pss, "idle_cpu_percent": 100.0 * (cpu1 - cpu0) / (t1 - t0),
            "idle_dbus_per_minute": per_minute, "bus_names": len(messages.names)}


def start_networkmanager(folder, networks, joined=None):
    path = os.path.join(folder, "networks-%d.json" % time.monotonic_ns())
    with open(path, "w", encoding="utf-8") as handle:
        json.dump(networks, handle)
    env_file = path + ".env"
    process = subprocess.Popen([os.path.join(ROOT, "tools/simulated-networkmanager.py"), "--networks", path,
                                "--env-file", env_file] + (["--joined", joined] if joined else []),
                               stdout=subprocess.DEVNULL)
    return process, wait_for_line(env_file, "BREWBEACON_SYSTEM_BUS_ADDRESS=")


def start_portal(folder, arguments):
    out = os.path.join(folder, "portal-%d.out" % time.monotonic_ns())
    with open(out, "w", encoding="utf-8") as handle:
        process = subprocess.Popen(["/usr/bin/python3", os.path.join(ROOT, "tools/captive-portal/captive_portal.py")]
                                   + arguments, stdout=handle, stderr=subprocess.DEVNULL)
    return process, wait_for_line(out, "listening on ")


def app_environment(folder, bus_address, portal, label):
    env = dict(os.environ, BREWBEACON_SYSTEM_BUS_ADDRESS=bus_address,
               BREWBEACON_DETECTION_URL=portal + "hotspot-detect.html", BREWBEACON_DISABLE_ANALYTICS="1",
               # Nothing listens on the discard port: no update or feedback request leaves the machine.
               BREWBEACON_SERVICE_URL="http://127.0.0.1:9", BREWBEACON_LOG_STDERR="1",
               XDG_CONFIG_HOME=os.path.join(folder, label, "config"), XDG_CACHE_HOME=os.path.join(folder, label, "cache"),
               QT_QPA_PLATFORM="xcb")
    os.makedirs(env["XDG_CONFIG_HOME"], exist_ok=True)
    os.makedirs(env["XDG_CACHE_HOME"], exist_ok=True)
    return env


def launch_app(app, env, folder, label):
    log = open(os.path.join(folder, label + ".log"), "w", encoding="utf-8")
    process = subprocess.Popen([app], env=env, stdout=subprocess.DEVNULL, stderr=log)
    log.close()
    return process, os.path.join(folder, label + ".log")


def measure_app(app, bus_address, portal, folder, args):
    env = app_environment(folder, bus_address, portal, "idle")
    process, _ = launch_app(app, env, folder, "idle")
    record = {}
    try:
        if not wait_for_window(MAIN_WINDOW_TITLE, True):
            raise RuntimeError("the launch did not open the main window")
        close_windows(MAIN_WINDOW_TITLE)
        time.sleep(args.settle)
        record.update(measure_idle(process, bus_address, folder, args.idle_seconds, args.cpu_seconds))

        # Opened again as the launcher does it, drawn, closed.
        subprocess.run([app], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, check=True)
        if not wait_for_window(MAIN_WINDOW_TITLE, True):
            raise RuntimeError("a second start did not bring the main window")
        time.sleep(3)
        record["open_rss_mb"], record["open_pss_mb"] = memory_mb(process.pid)
        close_windows(MAIN_WINDOW_TITLE)
        time.sleep(args.settle)
        record["reopened_rss_mb"], record["reopened_pss_mb"] = memory_mb(process.pid)
    finally:
        stop(process)
    return record


def measure_portal_attempt(app, folder, args):
    """The demo's flow, from launch to the verified sign-in, with any main window closed as it opens."""
    networks = json.load(open(os.path.join(ROOT, "tools/demo/networks.json"), encoding="utf-8"))
    manager, bus_address = start_networkmanager(folder, networks)
    portal, portal_url = start_portal(folder, ["--page", "simple-en"])
    process = None
    try:
        env = app_environment(folder, bus_address, portal_url, "portal")
        started = time.time()
        process, log = launch_app(app, env, folder, "portal")
        peak_rss = peak_pss = 0.0
        most_processes = 0
        deadline = started + 120
        while not file_contains(log, "hidden attempt verified Internet"):
            if time.time() > deadline or process.poll() is not None:
                raise RuntimeError("the portal attempt did not verify the internet")
            windows = mapped_windows(MAIN_WINDOW_TITLE)
            for window in windows:
                request_close(window)
            if not windows:
                rss, pss = memory_mb(process.pid)
                peak_rss, peak_pss = max(peak_rss, rss), max(peak_pss, pss)
                most_processes = max(most_processes, len(process_tree(process.pid)))
            time.sleep(0.2)
        return {"portal_rss_mb": peak_rss, "portal_pss_mb": peak_pss, "portal_processes": most_processes,
                "portal_seconds_to_verified": time.time() - started}
    finally:
        for each in (process, portal, manager):
            if each:
                stop(each)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def record_for(name, counters=None, error=None):
    record = {"name": "footprint/" + name, "run_type": "iteration", "iterations": 1, "real_time": 0,
              "cpu_time": 0, "time_unit": "ms"}
    if error:
        record["error_message"] = error
    record.update(counters or {})
    return record


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("app")
    parser.add_argument("out")
    parser.add_argument("--applets", help="cache folder of the reference applets (unpacked there when missing)")
    parser.add_argument("--idle-seconds", type=float, default=60)
    parser.add_argument("--cpu-seconds", type=float, default=30)
    parser.add_argument("--settle", type=float, default=10, help="seconds between a change and a reading")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        raise RuntimeError("the footprint bench needs an X display (run it under scripts/with-test-services)")
    folder = tempfile.mkdtemp(prefix="brewbeacon-footprint-")
    records = []
    manager, bus_address = start_networkmanager(folder, IDLE_NETWORKS, IDLE_NETWORKS[0]["ssid"])
    portal, portal_url = start_portal(folder, ["--online"])
    try:
        try:
            records.append(record_for("brewbeacon", measure_app(args.app, bus_address, portal_url, folder, args)))
        except (RuntimeError, OSError, subprocess.SubprocessError) as error:
            records.append(record_for("brewbeacon", error="the app: %s" % error))
        applets = reference_applets.prepare(args.applets, bus_address) if args.applets else {
            name: "no --applets cache folder given" for name in reference_applets.APPLETS}
        for name, applet in applets.items():
            if isinstance(applet, str):
                records.append(record_for(name, error=applet))
                continue
            process = subprocess.Popen(applet.argv, env=dict(os.environ, **applet.env), stdout=subprocess.DEVNULL,
                                       stderr=open(os.path.join(folder, name + ".log"), "w", encoding="utf-8"))
            try:
                time.sleep(args.settle)
                if process.poll() is not None:
                    raise RuntimeError("exited with %d at start" % process.returncode)
                records.append(record_for(name, measure_idle(process, bus_address, folder, args.idle_seconds,
                                                             args.cpu_seconds)))
            except (RuntimeError, OSError) as error:
                records.append(record_for(name, error="%s: %s" % (name, error)))
            finally:
                stop(process)
    finally:
        stop(portal)
        stop(manager)
    try:
        portal_figures = measure_portal_attempt(args.app, folder, args)
        for record in records:
            if record["name"] == "footprint/brewbeacon" and "error_message" not in record:
                record.update(portal_figures)
    except (RuntimeError, OSError) as error:
        records.append(record_for("brewbeacon_portal", error="the portal attempt: %s" % error))
    with open(args.out, "w", encoding="utf-8") as handle:
        json.dump({"benchmarks": records}, handle, indent=1)
    for record in records:
        print(json.dumps(record), file=sys.stderr)
    print("footprint: logs in %s" % folder, file=sys.stderr)


if __name__ == "__main__":
    sys.exit(main())
