'''A stand-in for KWin's scripting over D-Bus (python3-dbusmock template):
loadScript gives the script an object whose run() answers as the script
would, by calling back the method the script names: the pointer's place
(the "pointer" parameter) for a script that reads workspace.cursorPos, and
for one that looks for a process's window, "found" when the process runs
the test's sleeper (the only program here with a window). Calls go to the
"log" file.
'''

import re

import dbus

from dbusmock import mockobject

BUS_NAME = 'org.kde.KWin'
MAIN_OBJ = '/Scripting'
MAIN_IFACE = 'org.kde.kwin.Scripting'
SYSTEM_BUS = False

state = {'log': None, 'pointer': '0,0', 'scripts': {}}


def load(mock, parameters):
    state.update({k: parameters[k] for k in ('log', 'pointer') if k in parameters})
    mockobject.kwin_run = run_script


def record(line):
    if state['log']:
        with open(state['log'], 'a', encoding='utf-8') as f:
            f.write(line + '\n')


def run_script(number):
    with open(state['scripts'][number], encoding='utf-8') as f:
        text = f.read()
    name, path, interface = re.search(r'callDBus\("([^"]+)", "([^"]+)", "([^"]+)"', text).groups()
    if 'workspace.cursorPos' in text:
        answer = state['pointer']
        record('kwin run cursorPos')
    else:
        pid = re.search(r'\.pid == (\d+)', text).group(1)
        try:
            with open(f'/proc/{pid}/comm', encoding='utf-8') as f:
                windowed = f.read().strip() in ('sleeper', 'sleep')
        except OSError:
            windowed = False
        answer = 'found' if windowed else 'none'
        record(f'kwin run activate {"sleeper" if windowed else pid}')
    target = dbus.SessionBus().get_object(name, path, introspect=False)
    target.Report(answer, dbus_interface=interface, ignore_reply=True)


@dbus.service.method(MAIN_IFACE, in_signature='ss', out_signature='i')
def loadScript(self, file, plugin):
    number = len(state['scripts'])
    state['scripts'][number] = file
    record('kwin loadScript')
    self.AddObject(f'/Scripting/Script{number}', 'org.kde.kwin.Script', {},
                   [('run', '', '', f'kwin_run({number})'), ('stop', '', '', '')])
    return number


@dbus.service.method(MAIN_IFACE, in_signature='s', out_signature='b')
def unloadScript(self, plugin):
    record('kwin unloadScript')
    return True
