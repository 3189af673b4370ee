#!/usr/bin/python3
'''Counts the D-Bus messages one process sends on one bus over a while: method calls, replies, errors
and signals whose sender is any connection the process owns. Used to measure what the app costs a bus
at idle.

    tools/dbus_sent_messages.py ADDRESS PID [--seconds 60]

Prints one JSON object: {"messages": N, "seconds": S, "per_minute": M, "by_member": {...}}.
Needs dbus-monitor (package dbus-bin) and a bus that lets this user monitor it (a private bus does).
'''

import argparse
import collections
import json
import re
import subprocess
import sys
import threading
import time

import dbus

HEADER = re.compile(r'^(method call|method return|error|signal) .*?sender=(\S+)(?: -> destination=(\S+))?'
                    r'.*?(?:path=(\S+); interface=(\S+); member=(\S+))?$')


def connections_of(bus, pid):
    '''The unique names on the bus that belong to the process.'''
    names = []
    driver = dbus.Interface(bus.get_object('org.freedesktop.DBus', '/org/freedesktop/DBus'), 'org.freedesktop.DBus')
    for name in driver.ListNames():
        if not name.startswith(':'):
            continue
        try:
            if int(driver.GetConnectionUnixProcessID(name)) == pid:
                names.append(str(name))
        except dbus.exceptions.DBusException:
            pass
    return names


def count(address, pid, seconds):
    bus = dbus.bus.BusConnection(address)
    senders = connections_of(bus, pid)
    if not senders:
        raise RuntimeError(f'process {pid} has no connection on {address}')
    rules = [f"sender='{name}'" for name in senders]
    monitor = subprocess.Popen(['dbus-monitor', '--address', address] + rules, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
    members = collections.Counter()
    lock = threading.Lock()

    def read():
        for line in monitor.stdout:
            match = HEADER.match(line)
            if not match or match.group(2) not in senders:
                continue
            with lock:
                members[f'{match.group(1)} {match.group(6) or ""}'.strip()] += 1

    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    time.sleep(1)  # the monitor's own start-up
    with lock:
        members.clear()
    start = time.monotonic()
    time.sleep(seconds)
    with lock:
        total = sum(members.values())
        by_member = dict(members)
    elapsed = time.monotonic() - start
    monitor.terminate()
    monitor.wait(5)
    return {'messages': total, 'seconds': round(elapsed, 1), 'per_minute': round(total * 60 / elapsed, 1),
            'by_member': by_member}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('address')
    parser.add_argument('pid', type=int)
    parser.add_argument('--seconds', type=float, default=60)
    args = parser.parse_args()
    print(json.dumps(count(args.address, args.pid, args.seconds)))
    return 0


if __name__ == '__main__':
    sys.exit(main())
