#!/usr/bin/env bash
# The portal backend against GNOME's own stack, run as an ordinary user:
# headless mutter (with PipeWire for the screens), the desktop portal and
# its GNOME implementation on a private session bus. The user's question is
# answered in the portal's own window (through accessibility); the text then
# arrives exactly in a native Wayland window (foot, into a file), a
# character the compositor's map cannot type is refused (the map is read
# from mutter, not from the environment), and a refusal fails the line.
set -u
RUN="$1"
# An ordinary user: the compositor and its clients never run as root.
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "SKIPPED: setpriv is not installed"; exit 77; }
    id nobody >/dev/null 2>&1 || { echo "SKIPPED: no ordinary user (nobody) to switch to"; exit 77; }
    setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups true 2>/dev/null ||
        { echo "SKIPPED: cannot switch to the user nobody"; exit 77; }
    exec setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
        env -u XDG_RUNTIME_DIR -u WAYLAND_DISPLAY -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS HOME=/tmp bash "$0" "$@"
fi
for program in mutter pipewire foot gdbus iconv; do
    command -v "$program" >/dev/null || { echo "SKIPPED: $program is not installed"; exit 77; }
done
for program in xdg-desktop-portal xdg-desktop-portal-gnome; do
    [ -x "/usr/libexec/$program" ] || { echo "SKIPPED: $program is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import dbus, pyatspi' 2>/dev/null ||
    { echo "SKIPPED: python3-dbus or python3-pyatspi is not installed"; exit 77; }
source "$(dirname "$0")/session_bus.sh"
source "$(dirname "$0")/lib.sh"
SUPPORT="$(cd "$(dirname "$0")/support" && pwd)"
chmod 755 "$DIR"
# English names in the portal's window; a Spanish map named to the run, which
# must read mutter's own (US) map instead.
export HOME="$DIR/home" XDG_RUNTIME_DIR="$DIR/run" XDG_CONFIG_HOME="$DIR/home/.config" LANG=C.UTF-8 \
    XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-torvic
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
unset DISPLAY
# The portals the bus starts find the compositor and PipeWire.
gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.UpdateActivationEnvironment \
    "{'HOME': '$HOME', 'XDG_RUNTIME_DIR': '$XDG_RUNTIME_DIR', 'XDG_CONFIG_HOME': '$XDG_CONFIG_HOME', 'LANG': 'C.UTF-8',
      'XDG_CURRENT_DESKTOP': 'GNOME', 'XDG_SESSION_TYPE': 'wayland', 'WAYLAND_DISPLAY': '$WAYLAND_DISPLAY'}" >/dev/null

pipewire >"$DIR/pipewire.log" 2>&1 &
pids+=($!)
within 20 test -S "$XDG_RUNTIME_DIR/pipewire-0" || { echo "FAIL: PipeWire did not start"; tail "$DIR/pipewire.log"; exit 1; }
mutter --headless --wayland --no-x11 --virtual-monitor 1024x768 --wayland-display="$WAYLAND_DISPLAY" \
    >"$DIR/mutter.log" 2>&1 &
MUTTER=$!
mutter_up() { gdbus introspect --session -d org.gnome.Mutter.RemoteDesktop -o /org/gnome/Mutter/RemoteDesktop >/dev/null 2>&1; }
within 30 mutter_up && test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ||
    { echo "FAIL: mutter did not start"; tail "$DIR/mutter.log"; exit 1; }
# Mutter is ended first, its clients after it.
stop_all() { kill $MUTTER 2>/dev/null; wait $MUTTER 2>/dev/null; cleanup; }
trap stop_all EXIT
/usr/bin/python3 "$SUPPORT/mutter_keyboard.py" hold "$DIR/held" 2>>"$DIR/helpers.err" &
pids+=($!)
within 20 test -s "$DIR/held"
check "the seat has a keyboard" $?

# The receiver: foot writing what it is typed into a file, line by line.
TYPED="$DIR/typed"
foot sh -c "exec cat > '$TYPED'" 2>"$DIR/foot.log" &
pids+=($!)
# It has the focus once a Return pressed through the seat reaches it.
takes_keys() { /usr/bin/python3 "$SUPPORT/mutter_keyboard.py" press ff0d 2>>"$DIR/helpers.err" && test -s "$TYPED"; }
within 20 takes_keys
check "foot is up and takes keys" $?
# The lines typed after those Returns.
received() { sed '/./,$!d' "$TYPED"; }

# Runs the script line with the user's answer given in the portal's window;
# sets rc and err.
run() {  # answer, script line
    printf '%s\r\n' "$2" | iconv -f utf-8 -t cp1252 > "$DIR/p.torvic"
    XKB_DEFAULT_LAYOUT=es timeout 60 "$RUN" --on-error=stop "$DIR/p.torvic" </dev/null >/dev/null 2>"$DIR/err" &
    local run=$!
    /usr/bin/python3 "$SUPPORT/portal_consent.py" "$1" 2>>"$DIR/helpers.err"
    answered=$?
    wait $run
    rc=$?
    err="$(cat "$DIR/err")"
}

# Letters, capitals and shifted signs (the compositor picks the level),
# braced characters, ~ and {ENTER} (two line ends).
run allow 'send("Hola, Mon! The Quick Brown Fox Jumps Over The Lazy Dog: a{+}b={(}c{)} #42_~{ENTER}",1)'
check "the question was answered in the portal's window ($answered)" $answered
check "send ran (rc $rc: $err)" $rc
printf 'Hola, Mon! The Quick Brown Fox Jumps Over The Lazy Dog: a+b=(c) #42_\n\n' > "$DIR/expected"
within 10 eval 'received | cmp -s - "$DIR/expected"'
arrived=$?
check "the text arrived exactly in the native window ($(received | head -2))" $arrived

# Not on mutter's map (US, no dead keys): nothing typed, the line says why.
received > "$DIR/before"
run allow 'send("bé",1)'
check "a character off the compositor's map fails its line (rc $rc)" $([ $rc -ne 0 ]; echo $?)
check "... saying which ($err)" $(grep -q "mapa del teclat actual no pot escriure 'é'" <<<"$err"; echo $?)

# The user says no: the line fails with the refusal, nothing is typed.
run refuse 'send("x{ENTER}",1)'
check "a refusal in the portal's window fails the line (rc $rc)" $([ $rc -ne 0 ]; echo $?)
check "... saying the permission was refused ($err)" $(grep -q "s'ha refusat el permís" <<<"$err"; echo $?)
# A Return through the seat ends any line typed meanwhile.
/usr/bin/python3 "$SUPPORT/mutter_keyboard.py" press ff0d 2>>"$DIR/helpers.err"
within 10 eval '[ "$(received | wc -l)" -gt "$(wc -l < "$DIR/before")" ]'
check "... and neither refused run typed anything" $(received | tail -1 | cmp -s - <(echo); echo $?)
[ "$failed" -eq 0 ] || { received | od -c | head; tail -20 "$DIR/mutter.log"; cat "$DIR/helpers.err"; }
finish
