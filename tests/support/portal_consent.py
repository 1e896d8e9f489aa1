"""Answers the GNOME desktop portal's remote desktop question as a user
would, through its window's accessibility tree: `allow` ticks "Allow remote
interaction" and presses Share, `refuse` presses Cancel. Waits for the
window; exits 2 when none came."""
import sys
import time

import pyatspi


def find(node, wanted):
    try:
        if wanted(node):
            return node
        for child in node:
            if child is not None:
                found = find(child, wanted)
                if found:
                    return found
    except Exception:  # a window closing under us
        pass
    return None


def is_button(name):
    return lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and name in a.name


deadline = time.monotonic() + 60
while True:
    frame = None
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "xdg-desktop-portal-gnome":
            frame = find(app, lambda a: a.getRole() == pyatspi.ROLE_FRAME and
                         a.getState().contains(pyatspi.STATE_SHOWING))
    box = frame and find(frame, lambda a: a.getRole() == pyatspi.ROLE_CHECK_BOX)
    share = frame and find(frame, is_button("Share"))
    cancel = frame and find(frame, is_button("Cancel"))
    if box and share and cancel:
        break
    if time.monotonic() > deadline:
        print("no remote desktop question appeared")
        sys.exit(2)
    time.sleep(0.2)

if sys.argv[1] == "allow":
    if not box.getState().contains(pyatspi.STATE_CHECKED):
        box.queryAction().doAction(0)
    while not box.getState().contains(pyatspi.STATE_CHECKED):
        if time.monotonic() > deadline:
            print("remote interaction could not be ticked")
            sys.exit(1)
        time.sleep(0.1)
    share.queryAction().doAction(0)
else:
    cancel.queryAction().doAction(0)
