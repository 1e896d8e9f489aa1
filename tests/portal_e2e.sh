#!/usr/bin/env bash
# The desktop commands on a Wayland session without the wlroots protocols,
# through the RemoteDesktop desktop portal: a stand-in portal
# (support/portal_template.py, python3-dbusmock) on a private session bus
# writes down every call. The consent flow (the session, the devices, the
# screens, Start), the restore token kept and given back, the keysyms of a
# text with accented letters and special keys on a Spanish map (dead keys
# for the accents), a character the map cannot type refused whole, moves,
# clicks and the wheel, a refusal reported, and ifmouse and focu saying why
# they cannot work.
set -u
RUN="$1"
source "$(dirname "$0")/session_bus.sh"
source "$(dirname "$0")/lib.sh"
need gdbus
PY=/usr/bin/python3
need_dbusmock
TEMPLATE="$(cd "$(dirname "$0")" && pwd)/support/portal_template.py"

# A Wayland session with no compositor to ask for its map: the layout the
# environment names is the map.
export XDG_RUNTIME_DIR="$DIR" WAYLAND_DISPLAY=wayland-torvic-test XDG_CURRENT_DESKTOP=GNOME LANG=C.UTF-8
unset DISPLAY
LOG="$DIR/portal.log"
TOKEN="$XDG_STATE_HOME/torvic/portal-restore-token"
mock=
start_portal() {  # parameters (JSON)
    [ -n "$mock" ] && { kill "$mock"; wait "$mock" 2>/dev/null; }
    $PY -m dbusmock --session --template "$TEMPLATE" -p "$1" >/dev/null 2>&1 &
    mock=$!
    pids+=($mock)
    within 10 gdbus call --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop \
        -m org.freedesktop.DBus.Properties.Get org.freedesktop.portal.RemoteDesktop version >/dev/null 2>&1
}
# Runs the script lines, stopping at an error; sets rc, err and got (the
# portal's calls).
run() {
    : >"$LOG"
    script "$DIR/p.torvic" "$@"
    timeout 60 "$RUN" --on-error=stop "$DIR/p.torvic" </dev/null >/dev/null 2>"$DIR/err"
    rc=$?
    err="$(cat "$DIR/err")"
    got="$(cat "$LOG")"
}
keys() { grep '^key ' <<<"$got" | tr '\n' ' '; }
k() { printf 'key 0x%s 1 key 0x%s 0 ' "$1" "$1"; }  # a key pressed and let go

start_portal "{\"log\": \"$LOG\"}"

# The first run: the user is asked (Start), and the token is kept.
XKB_DEFAULT_LAYOUT=es run 'send("Hola àéç{ENTER}",1)'
check "send ran (rc $rc: $err)" $rc
flow=$(grep -v '^key ' <<<"$got" | tr '\n' '|')
check "the consent flow: session, keyboard and pointer kept until revoked, screens, Start, and the session closed at the end ($flow)" \
    $([ "$flow" = "CreateSession session_handle_token=torvic|SelectDevices persist_mode=2 types=3|SelectSources multiple=1 types=1|Start|Close|" ]; echo $?)
expected="$(k 48)$(k 6f)$(k 6c)$(k 61)$(k 20)$(k fe50)$(k 61)$(k fe51)$(k 65)$(k e7)$(k ff0d)"
check "the keysyms of Hola àéç{ENTER}, the accents through the map's dead keys ($(keys))" \
    $([ "$(keys)" = "$expected" ]; echo $?)
check "the restore token is kept under XDG_STATE_HOME/torvic ($(cat "$TOKEN" 2>/dev/null))" \
    $([ "$(cat "$TOKEN" 2>/dev/null)" = token-1 ]; echo $?)
check "... and only its owner reads it" $([ "$(stat -c %a "$TOKEN" 2>/dev/null)" = 600 ]; echo $?)

# The next run gives the token back (the portal then asks nobody), and
# keeps the new one; modifiers are held around their key.
XKB_DEFAULT_LAYOUT=es run 'send("^a{F4}+{TAB}%{F4 2}",1)'
check "the second send ran (rc $rc: $err)" $rc
check "the token was given back ($(grep SelectDevices <<<"$got"))" \
    $(grep -qx 'SelectDevices persist_mode=2 restore_token=token-1 types=3' <<<"$got"; echo $?)
check "the new token replaced it" $([ "$(cat "$TOKEN" 2>/dev/null)" = token-2 ]; echo $?)
expected="key 0xffe3 1 $(k 61)key 0xffe3 0 $(k ffc1)key 0xffe1 1 $(k ff09)key 0xffe1 0 key 0xffe9 1 $(k ffc1)key 0xffe9 0 key 0xffe9 1 $(k ffc1)key 0xffe9 0 "
check "special keys with their modifiers ($(keys))" $([ "$(keys)" = "$expected" ]; echo $?)

# A character the map cannot type (no à on a US map, and no dead key):
# nothing typed, the line fails with the reason.
XKB_DEFAULT_LAYOUT=us run 'send("bé",1)' 'beep'
check "a character off the map fails its line (rc $rc)" $([ $rc -ne 0 ]; echo $?)
check "... saying which ($err)" $(grep -q "mapa del teclat actual no pot escriure 'é'" <<<"$err"; echo $?)
check "... and nothing of the text was typed" $([ -z "$(keys)" ]; echo $?)

# Moves to a place on the screen's stream, a relative move, buttons, the wheel.
run 'mouse(100,200,1)' 'mouse(50%,50%,0,0,1)' 'mouse(+5,-3)' 'mouse(10,10,0,0,0,240)'
check "mouse ran (rc $rc: $err)" $rc
moves=$(grep -v -e '^Create' -e '^Select' -e '^Start' <<<"$got" | tr '\n' '|')
check "moves, clicks and the wheel ($moves)" \
    $([ "$moves" = "absolute 44 100 200|button 0x110 1|button 0x110 0|absolute 44 639 511|button 0x111 1|button 0x111 0|motion 5 -3|absolute 44 10 10|axis 0 -2|Close|" ]; echo $?)

# ifmouse and focu cannot work through the portal: their lines say why.
run 'ifmouse(0,0,10,10)' 'beep'
check "ifmouse fails its line (rc $rc)" $([ $rc -ne 0 ]; echo $?)
check "... saying what GNOME allows ($err)" $(grep -q "GNOME sobre Xorg" <<<"$err"; echo $?)
printf '#!/bin/sh\necho $$ >"%s"\nexec sleep 60\n' "$DIR/sleeper.pid" >"$DIR/sleeper"
chmod +x "$DIR/sleeper"
run "exec(\"$DIR/sleeper\",4,1)" 'focu(1)'
[ -s "$DIR/sleeper.pid" ] && pids+=("$(cat "$DIR/sleeper.pid")")
check "focu fails its line (rc $rc)" $([ $rc -ne 0 ]; echo $?)
check "... naming the process it found and why ($err)" $(grep -qE "\((sleeper|sleep)\) no té cap finestra que es pugui portar al davant" <<<"$err"; echo $?)

# KDE: KWin's scripts (a stand-in on the bus) read the pointer and bring a
# process's window to the front.
$PY -m dbusmock --session --template "$(dirname "$TEMPLATE")/kwin_template.py" \
    -p "{\"log\": \"$LOG\", \"pointer\": \"321,654\"}" >/dev/null 2>&1 &
pids+=($!)
within 10 gdbus call --session -d org.kde.KWin -o /Scripting -m org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1
export XDG_CURRENT_DESKTOP=KDE
# (each ifmouse line reads it, the closing ones too)
run 'ifmouse(321,654)' 'beep' 'ifmouse' 'ifmouse(0,0,10,10)' 'beep' 'ifmouse'
check "ifmouse reads the pointer through KWin (rc $rc: $err; $(tr '\n' '|' <<<"$got"))" \
    $([ $rc -eq 0 ] && [ "$(grep -c '^kwin run cursorPos' <<<"$got")" -eq 4 ]; echo $?)
check "... each script loaded and unloaded" \
    $([ "$(grep -c '^kwin loadScript' <<<"$got")" -eq 4 ] && [ "$(grep -c '^kwin unloadScript' <<<"$got")" -eq 4 ]; echo $?)
run "exec(\"$DIR/sleeper\",4,1)" 'focu(1)' 'focu(2)'
[ -s "$DIR/sleeper.pid" ] && pids+=("$(cat "$DIR/sleeper.pid")")
check "focu brings the process's window to the front through KWin" $(grep -q '^kwin run activate sleeper' <<<"$got"; echo $?)
check "... and a process without one fails its line, naming what it found ($err)" \
    $([ $rc -ne 0 ] && grep -q "no hi ha cap procés 0" <<<"$err"; echo $?)

# A user who says no: the line fails with the refusal, nothing is typed.
start_portal "{\"log\": \"$LOG\", \"refuse\": true}"
run 'send("x",1)'
check "a refusal fails the line (rc $rc)" $([ $rc -ne 0 ]; echo $?)
check "... saying the permission was refused ($err)" $(grep -q "s'ha refusat el permís" <<<"$err"; echo $?)
check "... with nothing typed" $([ -z "$(keys)" ]; echo $?)

finish
