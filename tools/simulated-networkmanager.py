#!/usr/bin/python3
'''Starts a simulated NetworkManager on a private bus, with one Wi-Fi device and the given networks.

    tools/simulated-networkmanager.py [--networks FILE.json] [--joined SSID] [--radio-off] [--env-file FILE]

FILE.json is a list of networks: {"ssid": "Cafe Guest", "security": "open" | "wpa2" | "wpa3" |
"enterprise" | "wep" | "owe", "strength": 0-100, "frequency": 2437, "bssid": "..."}; "ssid_hex" gives
raw bytes instead of "ssid". Without a file a small cafe street is simulated.
Prints BREWBEACON_SYSTEM_BUS_ADDRESS=... (also into --env-file) and runs until interrupted.
'''

import argparse
import json
import os
import signal
import subprocess
import sys
import time

import dbus

HERE = os.path.dirname(os.path.abspath(__file__))
TEMPLATE = os.path.join(HERE, 'simulated_networkmanager_template.py')
MANAGER = '/org/freedesktop/NetworkManager'
MOCK = 'org.freedesktop.DBus.Mock'

CCMP = 0x8 | 0x80
SECURITY = {  # name -> (privacy, wpa flags, rsn flags)
    'open': (0, 0, 0),
    'wep': (1, 0, 0),
    'wpa': (1, 0x4 | 0x40 | 0x100, 0),
    'wpa2': (1, 0, CCMP | 0x100),
    'wpa3': (1, 0, CCMP | 0x400),
    'enterprise': (1, 0, CCMP | 0x200),
    'owe': (1, 0, CCMP | 0x800),
}

DEMO = [
    {'ssid': 'Highlands Coffee Guest', 'security': 'open', 'strength': 82, 'frequency': 5180},
    {'ssid': 'Library Free WiFi', 'security': 'open', 'strength': 55},
    {'ssid': 'Home-5G', 'security': 'wpa2', 'strength': 90, 'frequency': 5745},
    {'ssid': 'Campus', 'security': 'enterprise', 'strength': 64},
]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--networks', help='JSON file with the networks to simulate')
    parser.add_argument('--joined', help='SSID the device is joined to at start')
    parser.add_argument('--radio-off', action='store_true', help='start with the Wi-Fi radio switched off')
    parser.add_argument('--no-wifi', action='store_true', help='simulate a machine without a Wi-Fi device')
    parser.add_argument('--env-file', help='also write the bus address into this file')
    args = parser.parse_args()

    networks = DEMO
    if args.networks:
        with open(args.networks, encoding='utf-8') as handle:
            networks = json.load(handle)

    daemon = subprocess.Popen(['dbus-daemon', '--session', '--nofork', '--nopidfile', '--print-address=1'],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    address = daemon.stdout.readline().strip()
    env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=address)
    mock = subprocess.Popen([sys.executable, '-m', 'dbusmock', '--system', '--template', TEMPLATE], env=env,
                            stdout=subprocess.DEVNULL)

    def stop(*_):
        mock.terminate()
        daemon.terminate()
        sys.exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    bus = dbus.bus.BusConnection(address)
    for _ in range(150):
        if bus.name_has_owner('org.freedesktop.NetworkManager'):
            break
        time.sleep(0.1)
    else:
        print('simulated NetworkManager did not start', file=sys.stderr)
        stop()
    manager = dbus.Interface(bus.get_object('org.freedesktop.NetworkManager', MANAGER), MOCK)

    if not args.no_wifi:
        device = manager.AddWiFiDevice('wlan0', 'wlp2s0', dbus.Int32(30))
        for index, network in enumerate(networks):
            privacy, wpa, rsn = SECURITY[network.get('security', 'open')]
            ssid = bytes.fromhex(network['ssid_hex']) if 'ssid_hex' in network else network['ssid'].encode('utf-8')
            path = manager.AddAccessPointWithFlags(
                device, f'ap{index}', dbus.ByteArray(ssid), network.get('bssid', f'02:00:00:00:00:{index:02x}'),
                dbus.UInt32(2), dbus.UInt32(network.get('frequency', 2437)), dbus.UInt32(network.get('max_bitrate', 270000)),
                dbus.Byte(network.get('strength', 70)), dbus.UInt32(privacy), dbus.UInt32(wpa), dbus.UInt32(rsn))
            if args.joined is not None and ssid == args.joined.encode('utf-8'):
                manager.JoinAccessPoint(device, path)
    if args.radio_off:
        manager.SetProperty(MANAGER, 'org.freedesktop.NetworkManager', 'WirelessEnabled', dbus.Boolean(False, variant_level=1))

    line = f'BREWBEACON_SYSTEM_BUS_ADDRESS={address}'
    print(line, flush=True)
    if args.env_file:
        with open(args.env_file, 'w', encoding='utf-8') as handle:
            handle.write(line + '\n')
    mock.wait()
    daemon.terminate()


if __name__ == '__main__':
    main()
