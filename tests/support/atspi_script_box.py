"""Reads the editor's script box through AT-SPI, as a screen reader does:
its role and states, the whole text, the caret after keys, a selection, an
insertion through the editable-text interface and the text-changed event it
sends. Prints one line per failed check; exits 0 when all passed, 1 when one
failed, 2 when the box was never found."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PID = int(sys.argv[1])
EXPECTED = sys.argv[2].encode().decode("unicode_escape")
failures = []


def check(what, ok, detail=""):
    if not ok:
        failures.append(f"FAIL: {what} {detail}")


def within(seconds, probe):
    """Polls `probe` until it gives a true value or the time is up."""
    end = time.monotonic() + seconds
    while True:
        value = probe()
        if value or time.monotonic() > end:
            return value
        time.sleep(0.1)


def find_box():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        try:
            if app is None or app.get_process_id() != PID:
                continue
        except Exception:
            continue
        found = pyatspi.findDescendant(app, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TEXT
                                       and a.getState().contains(pyatspi.STATE_MULTI_LINE))
        if found:
            return found
    return None


box = within(20, find_box)
if not box:
    print("the script box was not found over AT-SPI")
    sys.exit(2)

text = box.queryText()
states = box.getState()
check("role", box.getRole() == pyatspi.ROLE_TEXT, box.getRoleName())
check("editable", states.contains(pyatspi.STATE_EDITABLE))
check("whole text", text.getText(0, -1) == EXPECTED, repr(text.getText(0, -1)))
check("character count", text.characterCount == len(EXPECTED.encode("utf-16-le")) // 2, str(text.characterCount))

# The caret after keys typed into the window (brought to the front first).
windows = within(10, lambda: subprocess.run(["xdotool", "search", "--pid", str(PID), "--name", "Torvic XP"],
                                            capture_output=True, text=True).stdout.split())
if windows:
    subprocess.run(["xdotool", "windowactivate", "--sync", windows[0]], capture_output=True, check=False)
subprocess.run(["xdotool", "key", "ctrl+Home", "Down", "Right", "Right"], check=False)
start_of_second = EXPECTED.index("\r\n") + 2
check("caret after keys", within(10, lambda: text.caretOffset == start_of_second + 2), str(text.caretOffset))
subprocess.run(["xdotool", "key", "shift+Right", "shift+Right", "shift+Right"], check=False)
check("a selection by keys", within(10, lambda: text.getNSelections() == 1 and
                                     tuple(text.getSelection(0)) == (start_of_second + 2, start_of_second + 5)),
      str(text.getSelection(0)) if text.getNSelections() else "none")
# A selection made through the interface.
text.setSelection(0, 1, 3)
check("a selection set", tuple(text.getSelection(0)) == (1, 3) and text.getText(1, 3) == EXPECTED[1:3],
      str(text.getSelection(0)))

# An insertion through the editable-text interface, and its event.
events = []
editable = box.queryEditableText()


def on_change(event):
    if event.source == box:
        events.append((event.type, event.detail1, event.any_data))
        pyatspi.Registry.stop()


def insert():
    # Again until its event comes: the program learns of the listener
    # asynchronously, and an insertion before that sends nothing.
    editable.insertText(0, "x", 1)
    return not events


pyatspi.Registry.registerEventListener(on_change, "object:text-changed")
sources = [GLib.idle_add(insert), GLib.timeout_add(500, insert),
           GLib.timeout_add_seconds(15, lambda: pyatspi.Registry.stop())]
pyatspi.Registry.start()
for source in sources:
    GLib.source_remove(source) if GLib.MainContext.default().find_source_by_id(source) else None
inserted = text.getText(0, -1)
check("the insertion", inserted.endswith(EXPECTED) and set(inserted[:-len(EXPECTED)]) == {"x"}, repr(inserted[:20]))
check("a text-changed event", bool(events) and events[0][0].startswith("object:text-changed:insert")
      and events[0][1] == 0 and events[0][2] == "x", str(events[:1]))

for f in failures:
    print(f)
print(f"{6 + 4 - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
