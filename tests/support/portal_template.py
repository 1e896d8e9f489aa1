'''A stand-in for the desktop portal's RemoteDesktop and ScreenCast
interfaces (python3-dbusmock template): requests answered through their
Request objects' Response signal, as the portal does, restore tokens handed
out one per Start, and every call written to the file the "log" parameter
names, one line each. The "refuse" parameter answers Start as a user who
said no; "version" is the interface's version (2 keeps tokens).
'''

import dbus
from gi.repository import GLib

from dbusmock import mockobject

BUS_NAME = 'org.freedesktop.portal.Desktop'
MAIN_OBJ = '/org/freedesktop/portal/desktop'
MAIN_IFACE = 'org.freedesktop.portal.RemoteDesktop'
SYSTEM_BUS = False

SCREEN_CAST = 'org.freedesktop.portal.ScreenCast'
REQUEST = 'org.freedesktop.portal.Request'
state = {'log': None, 'refuse': False, 'tokens': 0, 'sessions': {}}


def load(mock, parameters):
    state['log'] = parameters.get('log')
    state['refuse'] = bool(parameters.get('refuse', False))
    mock.AddProperties(MAIN_IFACE, {
        'version': dbus.UInt32(parameters.get('version', 2)),
        'AvailableDeviceTypes': dbus.UInt32(7),
    })
    mock.AddProperties(SCREEN_CAST, {
        'version': dbus.UInt32(4),
        'AvailableSourceTypes': dbus.UInt32(1),
        'AvailableCursorModes': dbus.UInt32(1),
    })


def record(line):
    if state['log']:
        with open(state['log'], 'a', encoding='utf-8') as f:
            f.write(line + '\n')


def shown(options):
    return ' '.join(f'{k}={options[k]}' for k in sorted(options) if k != 'handle_token')


def answer(self, sender, options, code, results):
    '''The request's object, and its Response once the call has returned.'''
    path = f'{MAIN_OBJ}/request/{sender[1:].replace(".", "_")}/{options["handle_token"]}'
    self.AddObject(path, REQUEST, {}, [('Close', '', '', '')])

    def respond():
        mockobject.objects[path].EmitSignal(REQUEST, 'Response', 'ua{sv}', [dbus.UInt32(code), results])
        return False
    GLib.idle_add(respond)
    return dbus.ObjectPath(path)


@dbus.service.method(MAIN_IFACE, in_signature='a{sv}', out_signature='o', sender_keyword='sender')
def CreateSession(self, options, sender=None):
    record('CreateSession ' + shown(options))
    session = f'{MAIN_OBJ}/session/{sender[1:].replace(".", "_")}/{options["session_handle_token"]}'
    if session not in mockobject.objects:
        self.AddObject(session, 'org.freedesktop.portal.Session', {}, [('Close', '', '', f'open("{state["log"]}", "a").write("Close\\n")')])
    return answer(self, sender, options, 0, {'session_handle': dbus.String(session)})


@dbus.service.method(MAIN_IFACE, in_signature='oa{sv}', out_signature='o', sender_keyword='sender')
def SelectDevices(self, session, options, sender=None):
    record('SelectDevices ' + shown(options))
    return answer(self, sender, options, 0, {})


@dbus.service.method(SCREEN_CAST, in_signature='oa{sv}', out_signature='o', sender_keyword='sender')
def SelectSources(self, session, options, sender=None):
    record('SelectSources ' + shown(options))
    return answer(self, sender, options, 0, {})


@dbus.service.method(MAIN_IFACE, in_signature='osa{sv}', out_signature='o', sender_keyword='sender')
def Start(self, session, parent, options, sender=None):
    record('Start')
    if state['refuse']:
        return answer(self, sender, options, 1, {})
    state['tokens'] += 1
    streams = dbus.Array([dbus.Struct((dbus.UInt32(44), {
        'position': dbus.Struct((dbus.Int32(0), dbus.Int32(0)), signature=None, variant_level=1),
        'size': dbus.Struct((dbus.Int32(1280), dbus.Int32(1024)), signature=None, variant_level=1),
    }), signature='ua{sv}')], signature='(ua{sv})')
    return answer(self, sender, options, 0, {
        'devices': dbus.UInt32(3),
        'restore_token': dbus.String(f'token-{state["tokens"]}'),
        'streams': streams,
    })


@dbus.service.method(MAIN_IFACE, in_signature='oa{sv}iu', out_signature='')
def NotifyKeyboardKeysym(self, session, options, keysym, state_):
    record(f'key 0x{int(keysym):x} {int(state_)}')


@dbus.service.method(MAIN_IFACE, in_signature='oa{sv}dd', out_signature='')
def NotifyPointerMotion(self, session, options, dx, dy):
    record(f'motion {dx:g} {dy:g}')


@dbus.service.method(MAIN_IFACE, in_signature='oa{sv}udd', out_signature='')
def NotifyPointerMotionAbsolute(self, session, options, stream, x, y):
    record(f'absolute {int(stream)} {x:g} {y:g}')


@dbus.service.method(MAIN_IFACE, in_signature='oa{sv}iu', out_signature='')
def NotifyPointerButton(self, session, options, button, state_):
    record(f'button 0x{int(button):x} {int(state_)}')


@dbus.service.method(MAIN_IFACE, in_signature='oa{sv}ui', out_signature='')
def NotifyPointerAxisDiscrete(self, session, options, axis, steps):
    record(f'axis {int(axis)} {int(steps)}')
