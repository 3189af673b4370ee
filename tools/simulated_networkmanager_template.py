'''Simulated NetworkManager for BrewBeacon's tests and demo.

Builds on python3-dbusmock's "networkmanager" template and adds what the stock template leaves out:
  * Wi-Fi devices carry LastScan and ActiveAccessPoint, and RequestScan really "scans": it bumps
    LastScan after a configurable delay, or fails with a configurable NetworkManager error.
  * access points with arbitrary SSID bytes and any combination of Flags / WpaFlags / RsnFlags;
  * ActivateConnection / AddAndActivateConnection that join the given access point (ActiveAccessPoint,
    device state) or fail in the ways real activations fail: a D-Bus error, an activation that ends
    deactivated with a device state reason, or one that never finishes.

Mock methods (interface org.freedesktop.DBus.Mock on /org/freedesktop/NetworkManager):
  AddWiFiDevice(device_name, iface_name, state) -> path
  AddAccessPointWithFlags(dev, ap_name, ssid ay, bssid, mode, frequency, max_bitrate, strength,
                          flags, wpa_flags, rsn_flags) -> path
  SetScanBehaviour(dev, error_text, delay_ms)     delay_ms < 0: the scan never completes
  SetActivationBehaviour(mode, text, reason)     mode: "activate" | "error" | "deactivate" | "hang"
  SetPermissions(a{ss})                           GetPermissions' answer (all "yes" at start); emits CheckPermissions
  JoinAccessPoint(dev, ap)                        as if the user had joined it before we started
  Disconnect(dev)
  SetCallFailure(path, interface, member, text)   member "": reading that interface's properties fails;
                                                  else that method fails; with the error text, empty
                                                  text restores the normal answer
  SetProperty(path, interface, name, value)       as the stock one; WirelessEnabled also does what the
                                                  radio switch does (devices unavailable, access points
                                                  gone, and back)

Every change is announced as NetworkManager announces it, so clients that follow signals stay
current: org.freedesktop.DBus.Properties.PropertiesChanged for every property (NetworkManager no
longer sends the old per-interface PropertiesChanged), AccessPointAdded / AccessPointRemoved,
DeviceAdded, the device's StateChanged (new, old, reason) and the active connection's
StateChanged (state, reason).
'''

import time

import dbus
import dbusmock
from dbusmock import MOCK_IFACE
from gi.repository import GLib

from dbusmock.templates import networkmanager as stock
from dbusmock.templates.networkmanager import *  # noqa: F401,F403 (re-exports the stock mock methods)

BUS_NAME = stock.BUS_NAME
MAIN_OBJ = stock.MAIN_OBJ
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

MANAGER_OBJ = stock.MANAGER_OBJ
MANAGER_IFACE = stock.MANAGER_IFACE
DEVICE_IFACE = stock.DEVICE_IFACE
WIRELESS_IFACE = stock.WIRELESS_DEVICE_IFACE
AP_IFACE = stock.ACCESS_POINT_IFACE
ACTIVE_IFACE = stock.ACTIVE_CONNECTION_IFACE

STATE_ACTIVATING = 1
STATE_ACTIVATED = 2
STATE_DEACTIVATED = 4
# NMActiveConnectionStateReason
REASON_UNKNOWN = 0
REASON_USER_DISCONNECTED = 2
REASON_DEVICE_DISCONNECTED = 3
# NMDeviceState
DEVICE_UNAVAILABLE = 20
DEVICE_DISCONNECTED = 30
# NMDeviceStateReason
DEVICE_REASON_NONE = 0


def _set(obj, iface, name, value):
    # dbusmock's Set sends the standard PropertiesChanged, the only one NetworkManager sends.
    obj.Set(iface, name, value)


def _set_device_state(dev, state, reason):
    old = dev.Get(DEVICE_IFACE, 'State')
    dev.Set(DEVICE_IFACE, 'StateReason', (dbus.UInt32(state), dbus.UInt32(reason)))
    if int(old) == int(state):
        return
    dev.Set(DEVICE_IFACE, 'State', dbus.UInt32(state))
    dev.EmitSignal(DEVICE_IFACE, 'StateChanged', 'uuu', [dbus.UInt32(state), dbus.UInt32(old), dbus.UInt32(reason)])


def _set_active_state(active_path, state, reason):
    active = dbusmock.get_object(active_path)
    if int(active.Get(ACTIVE_IFACE, 'State')) == int(state):
        return
    active.Set(ACTIVE_IFACE, 'State', dbus.UInt32(state))
    active.EmitSignal(ACTIVE_IFACE, 'StateChanged', 'uu', [dbus.UInt32(state), dbus.UInt32(reason)])


def _boot_millis():
    return dbus.Int64(int(time.monotonic() * 1000))


def _finish_scan(dev):
    last = int(dev.Get(WIRELESS_IFACE, 'LastScan'))
    _set(dev, WIRELESS_IFACE, 'LastScan', dbus.Int64(max(last + 1, int(_boot_millis()))))
    return False


def _request_scan(dev, _options):
    if dev.scan_error:
        raise dbus.exceptions.DBusException(dev.scan_error, name='org.freedesktop.NetworkManager.Device.NotAllowed')
    if dev.scan_delay_ms < 0:
        return
    if dev.scan_delay_ms == 0:
        _finish_scan(dev)
    else:
        GLib.timeout_add(dev.scan_delay_ms, _finish_scan, dev)


def _next_free(prefix, taken):
    count = 0
    while dbus.ObjectPath(prefix + str(count)) in taken:
        count += 1
    return str(count)


def _join(manager, conn_path, dev_path, ap_path):
    '''Creates the active connection for (connection, device, access point) as the behaviour says.'''
    mode = manager.activation_mode
    if mode == 'error':
        raise dbus.exceptions.DBusException(manager.activation_text,
                                            name='org.freedesktop.NetworkManager.Device.ConnectionActivationFailed')
    dev = dbusmock.get_object(dev_path)
    actives = manager.Get(MANAGER_IFACE, 'ActiveConnections')
    name = _next_free('/org/freedesktop/NetworkManager/ActiveConnection/', actives)
    # An activation starts "activating" and moves on, as NetworkManager's does.
    active = stock.AddActiveConnection(manager, [dev_path], conn_path, ap_path, name, dbus.UInt32(STATE_ACTIVATING))
    if mode == 'activate':
        _set_active_state(active, STATE_ACTIVATED, REASON_UNKNOWN)
        _set(dev, WIRELESS_IFACE, 'ActiveAccessPoint', dbus.ObjectPath(ap_path))
        # A joined link runs at the access point's top rate, as a good radio would.
        _set(dev, WIRELESS_IFACE, 'Bitrate', dbus.UInt32(dbusmock.get_object(ap_path).Get(AP_IFACE, 'MaxBitrate')))
    else:
        # The stock helper marks the device activated; an unfinished or failed join must not look joined.
        failed_state = 40 if mode == 'hang' else DEVICE_DISCONNECTED
        if mode == 'deactivate':
            _set_active_state(active, STATE_DEACTIVATED, REASON_DEVICE_DISCONNECTED)
        _set_device_state(dev, failed_state, manager.activation_reason)
        dev.Set(DEVICE_IFACE, 'ActiveConnection', dbus.ObjectPath('/' if mode == 'deactivate' else active))
        _set(dev, WIRELESS_IFACE, 'ActiveAccessPoint', dbus.ObjectPath('/'))
    return dbus.ObjectPath(active)


def _add_and_activate(manager, settings, dev_path, ap_path):
    settings = dict(settings)
    connection = dict(settings.get('connection', {}))
    connection.setdefault('type', '802-11-wireless')
    connection.setdefault('id', 'Wi-Fi connection')
    settings['connection'] = connection
    if '802-11-wireless' not in settings or 'ssid' not in settings['802-11-wireless']:
        wireless = dict(settings.get('802-11-wireless', {}))
        wireless['ssid'] = dbus.ByteArray(bytes(dbusmock.get_object(ap_path).Get(AP_IFACE, 'Ssid')))
        settings['802-11-wireless'] = wireless
    if manager.activation_mode == 'error':
        _join(manager, '/', dev_path, ap_path)
    settings_obj = dbusmock.get_object(stock.SETTINGS_OBJ)
    conn_path = stock.SettingsAddConnection(settings_obj, settings)
    dev = dbusmock.get_object(dev_path)
    available = dev.Get(DEVICE_IFACE, 'AvailableConnections')
    available.append(dbus.ObjectPath(conn_path))
    dev.Set(DEVICE_IFACE, 'AvailableConnections', available)
    return (dbus.ObjectPath(conn_path), _join(manager, conn_path, dev_path, ap_path))


def _activate(manager, conn_path, dev_path, ap_path):
    return _join(manager, conn_path, dev_path, ap_path)


def load(mock, parameters):
    stock.load(mock, parameters)
    manager = dbusmock.get_object(MANAGER_OBJ)
    manager.activation_mode = 'activate'
    manager.activation_text = ''
    manager.activation_reason = 0
    manager.permissions = dbus.Dictionary({
        'org.freedesktop.NetworkManager.wifi.scan': 'yes',
        'org.freedesktop.NetworkManager.network-control': 'yes',
        'org.freedesktop.NetworkManager.enable-disable-wifi': 'yes',
    }, signature='ss')
    manager.AddMethod(MANAGER_IFACE, 'GetPermissions', '', 'a{ss}', lambda self: self.permissions)
    manager.AddMethod(MANAGER_IFACE, 'AddAndActivateConnection', 'a{sa{sv}}oo', 'oo',
                      lambda self, settings, dev, ap: _add_and_activate(self, settings, dev, ap))
    manager.AddMethod(MANAGER_IFACE, 'ActivateConnection', 'ooo', 'o',
                      lambda self, conn, dev, ap: _activate(self, conn, dev, ap))


@dbus.service.method(MOCK_IFACE, in_signature='ssi', out_signature='s')
def AddWiFiDevice(self, device_name, iface_name, state):
    path = stock.AddWiFiDevice(self, device_name, iface_name, state)
    dev = dbusmock.get_object(path)
    dev.AddProperties(WIRELESS_IFACE, {'LastScan': dbus.Int64(-1), 'ActiveAccessPoint': dbus.ObjectPath('/')})
    dev.scan_error = ''
    dev.scan_delay_ms = 0
    dev.AddMethod(WIRELESS_IFACE, 'RequestScan', 'a{sv}', '', _request_scan)
    return path


@dbus.service.method(MOCK_IFACE, in_signature='ssaysuuuyuuu', out_signature='s')
def AddAccessPointWithFlags(self, dev_path, ap_name, ssid, bssid, mode, frequency, max_bitrate, strength,
                            flags, wpa_flags, rsn_flags):
    dev = dbusmock.get_object(dev_path)
    path = '/org/freedesktop/NetworkManager/AccessPoint/' + ap_name
    if path in dev.access_points:
        raise dbus.exceptions.DBusException(f'Access point {ap_name} on device {dev_path} already exists',
                                            name=MANAGER_IFACE + '.AlreadyExists')
    # The object is complete before it is announced, as NetworkManager's are.
    self.AddObject(path, AP_IFACE, {
        'Ssid': dbus.ByteArray(bytes(ssid)), 'HwAddress': dbus.String(bssid), 'Flags': dbus.UInt32(flags),
        'WpaFlags': dbus.UInt32(wpa_flags), 'RsnFlags': dbus.UInt32(rsn_flags), 'LastSeen': dbus.Int32(1),
        'Frequency': dbus.UInt32(frequency), 'MaxBitrate': dbus.UInt32(max_bitrate), 'Mode': dbus.UInt32(mode),
        'Strength': dbus.Byte(strength)}, [])
    self.object_manager_emit_added(path)
    _list_access_point(dev, path)
    return path


def _list_access_point(dev, path):
    dev.access_points.append(path)
    points = dev.Get(WIRELESS_IFACE, 'AccessPoints')
    points.append(dbus.ObjectPath(path))
    dev.Set(WIRELESS_IFACE, 'AccessPoints', points)
    dev.EmitSignal(WIRELESS_IFACE, 'AccessPointAdded', 'o', [dbus.ObjectPath(path)])


def _unlist_access_point(dev, path):
    dev.access_points.remove(path)
    points = dev.Get(WIRELESS_IFACE, 'AccessPoints')
    points.remove(path)
    dev.Set(WIRELESS_IFACE, 'AccessPoints', points)
    dev.EmitSignal(WIRELESS_IFACE, 'AccessPointRemoved', 'o', [dbus.ObjectPath(path)])


def _set_radio(manager, enabled):
    '''What the radio switch does to the Wi-Fi devices: off leaves them unavailable with no access point
    in reach; on makes them available again, and the next scan finds the same access points.'''
    for dev_path in manager.Get(MANAGER_IFACE, 'Devices'):
        dev = dbusmock.get_object(dev_path)
        if int(dev.Get(DEVICE_IFACE, 'DeviceType')) != 2:
            continue
        if not enabled:
            active = dev.Get(DEVICE_IFACE, 'ActiveConnection')
            if active != '/':
                _set_active_state(active, STATE_DEACTIVATED, REASON_DEVICE_DISCONNECTED)
                stock.RemoveActiveConnection(manager, dev_path, active)
            _set(dev, WIRELESS_IFACE, 'ActiveAccessPoint', dbus.ObjectPath('/'))
            dev.hidden_by_radio = list(dev.access_points)
            for path in dev.hidden_by_radio:
                _unlist_access_point(dev, path)
            _set_device_state(dev, DEVICE_UNAVAILABLE, DEVICE_REASON_NONE)
        else:
            _set_device_state(dev, DEVICE_DISCONNECTED, DEVICE_REASON_NONE)
            for path in getattr(dev, 'hidden_by_radio', []):
                if path not in dev.access_points:
                    _list_access_point(dev, path)
            dev.hidden_by_radio = []


@dbus.service.method(MOCK_IFACE, in_signature='sssv', out_signature='')
def SetProperty(_self, path, iface, name, value):
    obj = dbusmock.get_object(path)
    if path == MANAGER_OBJ and iface == MANAGER_IFACE and name == 'WirelessEnabled':
        was = bool(obj.Get(MANAGER_IFACE, 'WirelessEnabled'))
        if was and not bool(value):
            _set_radio(obj, False)
        obj.Set(iface, name, value)
        if not was and bool(value):
            _set_radio(obj, True)
        return
    obj.Set(iface, name, value)


@dbus.service.method(MOCK_IFACE, in_signature='ssi', out_signature='')
def SetScanBehaviour(_self, dev_path, error_text, delay_ms):
    dev = dbusmock.get_object(dev_path)
    dev.scan_error = str(error_text)
    dev.scan_delay_ms = int(delay_ms)


@dbus.service.method(MOCK_IFACE, in_signature='ssu', out_signature='')
def SetActivationBehaviour(_self, mode, text, reason):
    if mode not in ('activate', 'error', 'deactivate', 'hang'):
        raise dbus.exceptions.DBusException('unknown activation mode ' + mode, name='org.freedesktop.DBus.Mock.Error')
    manager = dbusmock.get_object(MANAGER_OBJ)
    manager.activation_mode = str(mode)
    manager.activation_text = str(text)
    manager.activation_reason = int(reason)


@dbus.service.method(MOCK_IFACE, in_signature='a{ss}', out_signature='')
def SetPermissions(_self, permissions):
    manager = dbusmock.get_object(MANAGER_OBJ)
    manager.permissions = dbus.Dictionary(permissions, signature='ss')
    manager.EmitSignal(MANAGER_IFACE, 'CheckPermissions', '', [])


@dbus.service.method(MOCK_IFACE, in_signature='ss', out_signature='s')
def JoinAccessPoint(_self, dev_path, ap_path):
    manager = dbusmock.get_object(MANAGER_OBJ)
    mode = manager.activation_mode
    manager.activation_mode = 'activate'
    try:
        ssid = dbus.ByteArray(bytes(dbusmock.get_object(ap_path).Get(AP_IFACE, 'Ssid')))
        settings = {'connection': {'type': '802-11-wireless', 'id': 'joined'}, '802-11-wireless': {'ssid': ssid}}
        return str(_add_and_activate(manager, settings, dev_path, ap_path)[1])
    finally:
        manager.activation_mode = mode


class _FailingProperties(dict):
    '''An object's property table whose listed interfaces answer with an error.'''

    def __init__(self, table):
        super().__init__(table)
        self.failures = {}

    def __getitem__(self, interface):
        if interface in self.failures:
            raise dbus.exceptions.DBusException(self.failures[interface], name='org.freedesktop.DBus.Error.Failed')
        return super().__getitem__(interface)


def _raiser(text):
    def fail(_self, *_args):
        raise dbus.exceptions.DBusException(text, name='org.freedesktop.DBus.Error.Failed')
    return fail


@dbus.service.method(MOCK_IFACE, in_signature='ssss', out_signature='')
def SetCallFailure(_self, path, interface, member, error_text):
    obj = dbusmock.get_object(path)
    interface, member, error_text = str(interface), str(member), str(error_text)
    if not member:
        if not isinstance(obj.props, _FailingProperties):
            obj.props = _FailingProperties(obj.props)
        if error_text:
            obj.props.failures[interface] = error_text
        else:
            obj.props.failures.pop(interface, None)
        return
    originals = obj.__dict__.setdefault('original_codes', {})
    entry = obj.methods[interface][member]
    original = originals.setdefault((interface, member), entry[2])
    code = _raiser(error_text) if error_text else original
    obj.methods[interface][member] = (entry[0], entry[1], code) + tuple(entry[3:])


@dbus.service.method(MOCK_IFACE, in_signature='s', out_signature='')
def Disconnect(_self, dev_path):
    dev = dbusmock.get_object(dev_path)
    active = dev.Get(DEVICE_IFACE, 'ActiveConnection')
    if active != '/':
        _set_active_state(active, STATE_DEACTIVATED, REASON_USER_DISCONNECTED)
        stock.RemoveActiveConnection(dbusmock.get_object(MANAGER_OBJ), dev_path, active)
    _set(dev, WIRELESS_IFACE, 'ActiveAccessPoint', dbus.ObjectPath('/'))
