'''The world the soak drives: a private system bus with a simulated NetworkManager and login manager,
the keyring of the session, and a loopback detection page with switchable behaviour.'''

import os
import subprocess
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

import dbus

PYTHON = '/usr/bin/python3'
NM_NAME = 'org.freedesktop.NetworkManager'
NM_PATH = '/org/freedesktop/NetworkManager'
LOGIN_NAME = 'org.freedesktop.login1'
MOCK = 'org.freedesktop.DBus.Mock'
SECRETS_NAME = 'org.freedesktop.secrets'
SECRETS_PATH = '/org/freedesktop/secrets'
LOGIN_COLLECTION = '/org/freedesktop/secrets/collection/login'
CCMP_PSK = 0x8 | 0x80 | 0x100
SUCCESS = b'<HTML><HEAD><TITLE>Success</TITLE></HEAD><BODY>Success</BODY></HTML>'
PORTAL = (b"<!doctype html><html><head><meta charset='utf-8'><title>Cafe Wi-Fi</title></head><body>"
          b"<h1>Welcome to the cafe</h1><form method='post' action='/portal/accept'>"
          b"<label><input type='checkbox' name='terms' required> I accept the terms of use</label>"
          b"<button type='submit'>Continue</button></form></body></html>")


class SimulatedWorld:
    def __init__(self, tools_dir):
        self.template = os.path.join(os.path.dirname(tools_dir), 'simulated_networkmanager_template.py')
        self.daemon = None
        self.manager = None
        self.login = None
        self.address = None
        self.bus = None
        self.radio = True
        self.permitted = True
        self.manager_running = False
        self.keyring_locked = False
        self.keyring = None
        self.keyring_internal = None

    def start(self):
        self.daemon = subprocess.Popen(['dbus-daemon', '--session', '--nofork', '--nopidfile', '--print-address=1'],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        self.bus = dbus.bus.BusConnection(self.address)
        self.login = self._mock(['--template', 'logind'], LOGIN_NAME)
        self._find_keyring()
        self.start_manager()

    def _find_keyring(self):
        '''The session's keyring, when the soak runs inside the test services; without one the keyring
        events are left out.'''
        try:
            session = dbus.SessionBus()
            if not session.name_has_owner(SECRETS_NAME):
                return
            service = session.get_object(SECRETS_NAME, SECRETS_PATH)
            self.keyring = dbus.Interface(service, 'org.freedesktop.Secret.Service')
            self.keyring_internal = dbus.Interface(service, 'org.gnome.keyring.InternalUnsupportedGuiltRiddenInterface')
        except dbus.exceptions.DBusException:
            self.keyring = None

    def _mock(self, arguments, name):
        env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address)
        process = subprocess.Popen([PYTHON, '-m', 'dbusmock', '--system'] + arguments, env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(150):
            if self.bus.name_has_owner(name):
                return process
            time.sleep(0.1)
        raise RuntimeError(f'{name} did not appear on the private bus')

    def _nm(self):
        return dbus.Interface(self.bus.get_object(NM_NAME, NM_PATH), MOCK)

    def start_manager(self):
        self.manager = self._mock(['--template', self.template], NM_NAME)
        nm = self._nm()
        self.device = nm.AddWiFiDevice('wlan0', 'wlp2s0', dbus.Int32(30))
        self.cafe = self._add(nm, 'ap0', b'Soak Cafe Guest', 0, 0, 78)
        self.home = self._add(nm, 'ap1', b'Soak Home', 1, CCMP_PSK, 90)
        self.manager_running = True
        self.set_radio(self.radio)
        self.set_permitted(self.permitted)

    def _add(self, nm, name, ssid, privacy, rsn, strength):
        index = int(name[2:])
        return nm.AddAccessPointWithFlags(self.device, name, dbus.ByteArray(ssid), f'02:00:00:00:01:{index:02x}',
                                          dbus.UInt32(2), dbus.UInt32(2437), dbus.UInt32(270000),
                                          dbus.Byte(strength), dbus.UInt32(privacy), dbus.UInt32(0), dbus.UInt32(rsn))

    def stop_manager(self):
        if self.manager:
            self.manager.terminate()
            self.manager.wait(10)
            self.manager = None
        self.manager_running = False

    def leave(self):
        self._nm().Disconnect(self.device)

    def join_home(self):
        self._nm().JoinAccessPoint(self.device, self.home)

    def set_radio(self, on):
        self.radio = on
        nm = self._nm()
        if not on:
            nm.Disconnect(self.device)  # switching the radio off ends the association, as it does for real
        nm.SetProperty(NM_PATH, NM_NAME, 'WirelessEnabled', dbus.Boolean(on, variant_level=1))

    def set_permitted(self, permitted):
        self.permitted = permitted
        answer = 'yes' if permitted else 'no'
        self._nm().SetPermissions({'org.freedesktop.NetworkManager.wifi.scan': answer,
                                   'org.freedesktop.NetworkManager.network-control': answer,
                                   'org.freedesktop.NetworkManager.enable-disable-wifi': answer})

    def wake(self):
        login = dbus.Interface(self.bus.get_object(LOGIN_NAME, '/org/freedesktop/login1'), MOCK)
        login.EmitSignal('org.freedesktop.login1.Manager', 'PrepareForSleep', 'b', [dbus.Boolean(False)])

    def lock_keyring(self):
        if self.keyring:
            self.keyring.Lock([LOGIN_COLLECTION])
            self.keyring_locked = True

    def unlock_keyring(self):
        # The test session's login keyring was made with a password of one newline.
        _, session = self.keyring.OpenSession('plain', dbus.String('', variant_level=1))
        secret = dbus.Struct((session, dbus.ByteArray(b''), dbus.ByteArray(b'\n'), 'text/plain'), signature='oayays')
        self.keyring_internal.UnlockWithMasterPassword(dbus.ObjectPath(LOGIN_COLLECTION), secret)
        self.keyring_locked = False

    def expected_connection(self, mode):
        '''What the app must publish once it has caught up, or None where more than one answer is right.'''
        if not self.manager_running or not self.permitted:
            return None
        if not self.radio:
            return 'failed'
        return 'connected' if mode == 'online' else None

    def stop(self):
        for process in (self.manager, self.login, self.daemon):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()


class DetectionPage:
    '''The detection page and a click-to-continue portal in front of it. Modes: online, portal, slow,
    silent (never answers), garbage (not HTTP) and endless (a body without end).'''

    def __init__(self):
        self.mode = 'online'
        self.changed = threading.Condition()
        page = self

        class Handler(BaseHTTPRequestHandler):
            protocol_version = 'HTTP/1.1'

            def log_message(self, *_):
                pass

            def do_GET(self):
                page.answer(self)

            def do_POST(self):
                length = min(int(self.headers.get('Content-Length') or 0), 65536)
                self.rfile.read(length)
                if self.path.startswith('/portal/accept'):
                    page.set_mode('online')
                    self.send(200, b'<html><body>You are online.</body></html>')
                else:
                    self.send(202, b'')

            def send(self, status, body, headers=()):
                self.send_response(status)
                for name, value in headers:
                    self.send_header(name, value)
                self.send_header('Content-Length', str(len(body)))
                self.end_headers()
                self.wfile.write(body)

        self.handler = Handler
        self.server = ThreadingHTTPServer(('127.0.0.1', 0), Handler)
        self.server.daemon_threads = True

    def url(self, path):
        return f'http://127.0.0.1:{self.server.server_port}{path}'

    def set_mode(self, mode):
        with self.changed:
            self.mode = mode
            self.changed.notify_all()

    def wait_change(self, mode, seconds):
        with self.changed:
            self.changed.wait_for(lambda: self.mode != mode, seconds)

    def answer(self, handler):
        mode = self.mode
        if handler.path.startswith('/portal'):
            handler.send(200, PORTAL, [('Content-Type', 'text/html; charset=utf-8')])
            return
        if not handler.path.startswith('/hotspot-detect.html'):
            handler.send(404, b'')
            return
        if mode == 'portal':
            handler.send(302, b'', [('Location', self.url('/portal'))])
        elif mode == 'slow':
            self.wait_change(mode, 4)
            handler.send(200, SUCCESS)
        elif mode == 'silent':
            self.wait_change(mode, 30)
            handler.close_connection = True
        elif mode == 'garbage':
            handler.wfile.write(os.urandom(2048))
            handler.close_connection = True
        elif mode == 'endless':
            handler.send_response(200)
            handler.send_header('Content-Type', 'text/html')
            handler.end_headers()
            deadline = time.monotonic() + 20
            chunk = b'<p>' + b'x' * 65536 + b'</p>'
            try:
                while self.mode == 'endless' and time.monotonic() < deadline:
                    handler.wfile.write(chunk)
            except OSError:
                pass
            handler.close_connection = True
        else:
            handler.send(200, SUCCESS, [('Content-Type', 'text/html')])

    def start(self):
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()
