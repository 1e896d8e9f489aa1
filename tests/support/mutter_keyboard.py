"""A keyboard of mutter's own, through its org.gnome.Mutter.RemoteDesktop
API on the session bus. `hold FILE`: keeps one until ended (SIGTERM), as a
plugged-in keyboard would be: a headless mutter has none, and its seat
offers clients no keyboard while no device is there, so the first keys of a
device that just appeared are lost. FILE is written once it is there.
`press KEYSYM...` (hexadecimal): presses and lets go of each in turn."""
import signal
import sys

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
NAME = "org.gnome.Mutter.RemoteDesktop"
path = bus.get_object(NAME, "/org/gnome/Mutter/RemoteDesktop").CreateSession(dbus_interface=NAME)
session = dbus.Interface(bus.get_object(NAME, path), NAME + ".Session")
session.Start()


def press(sym):
    session.NotifyKeyboardKeysym(dbus.UInt32(sym), True)
    session.NotifyKeyboardKeysym(dbus.UInt32(sym), False)


if sys.argv[1] == "hold":
    press(0xFFE1)  # the device appears with its first key (Shift: types nothing)
    with open(sys.argv[2], "w") as f:
        f.write("held\n")
    loop = GLib.MainLoop()
    signal.signal(signal.SIGTERM, lambda *_: loop.quit())
    loop.run()
else:
    for k in sys.argv[2:]:
        press(int(k, 16))
session.Stop()
