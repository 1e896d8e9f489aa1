#!/usr/bin/env bash
# The notification icon through the StatusNotifierItem protocol: on a private
# session bus with a stand-in watcher (python3-dbusmock), a hidden run
# registers its item, whose tooltip and menu read as the program sets them;
# the panel's activation (one Activate call, never a double click) brings
# the editor's window back.
set -u
TORVIC="$1"
source "$(dirname "$0")/session_bus.sh"
source "$(dirname "$0")/lib.sh"
need Xvfb gdbus xdotool
need_dbusmock
start_xvfb 800x600x24

LOG="$DIR/watcher.log"
/usr/bin/python3 -m dbusmock --session org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.kde.StatusNotifierWatcher -l "$LOG" >/dev/null 2>&1 &
pids+=($!)
W=(gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher)
within 5 "${W[@]}" -m org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1
"${W[@]}" -m org.freedesktop.DBus.Mock.AddMethod org.kde.StatusNotifierWatcher RegisterStatusNotifierItem s '' '' >/dev/null
"${W[@]}" -m org.freedesktop.DBus.Mock.AddProperties org.kde.StatusNotifierWatcher \
    "{'IsStatusNotifierHostRegistered': <true>, 'ProtocolVersion': <0>, 'RegisteredStatusNotifierItems': <@as []>}" >/dev/null

script "$DIR/tray.torvic" 'wait(3000)'
"$TORVIC" /exec "$DIR/tray.torvic" >/dev/null 2>&1 &
run=$!
within 4 grep -q 'RegisterStatusNotifierItem "' "$LOG" 2>/dev/null
item=$(grep -o 'RegisterStatusNotifierItem "[^"]*"' "$LOG" 2>/dev/null | head -1 | cut -d'"' -f2)
check "the hidden run registered its item with the watcher" $([ -n "$item" ]; echo $?)
I=(gdbus call --session -d "$item" -o /StatusNotifierItem -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem)
check "the item's tooltip is Torvic Executant-se" $("${I[@]}" ToolTip 2>/dev/null | grep -qF "'Torvic Executant-se'"; echo $?)
menu=$("${I[@]}" Menu 2>/dev/null | grep -o "'/[^']*'" | tr -d "'")
layout=$(gdbus call --session -d "$item" -o "$menu" -m com.canonical.dbusmenu.GetLayout -- 0 -1 "[]" 2>/dev/null)
# Each item's label, and its check mark ([x] or [ ]) where it has one.
labels=$(grep -o "'label': <'[^']*'>\(, 'toggle-state': <[01]>\)\?" <<<"$layout" |
    sed "s/'label': <'\([^']*\)'>/\1/; s/, 'toggle-state': <1>/ [x]/; s/, 'toggle-state': <0>/ [ ]/" | tr '\n' '|')
check "the item's menu is RCpopup, Executant-se checked ($labels)" \
    $([ "$labels" = "Maximitzar|Aturat [ ]|Executant-se [x]|_Sortir|" ]; echo $?)
wait $run

# A hidden run's window, behind its icon, comes back at the item's Activate
# (one call, as a panel's single click), with its program.
export XDG_STATE_HOME="$DIR/state"
script "$DIR/long.torvic" 'wait(60000)'
"$TORVIC" /exec "$DIR/long.torvic" >/dev/null 2>&1 &
app=$!
pids+=($app)
shown() { xdotool search --all --onlyvisible --pid $app --name "Torvic XP" >/dev/null 2>&1; }
registered() { [ "$(grep -c 'RegisterStatusNotifierItem "' "$LOG")" -ge 2 ]; }
within 20 registered
check "the second hidden run registered its item" $?
item=$(grep -o 'RegisterStatusNotifierItem "[^"]*"' "$LOG" | tail -1 | cut -d'"' -f2)
check "its window is behind the icon" $(! shown; echo $?)
gdbus call --session -d "$item" -o /StatusNotifierItem -m org.kde.StatusNotifierItem.Activate 0 0 >/dev/null 2>&1
within 20 shown
check "the item's Activate brought the window back" $?
check "... with its program in it" $(xdotool search --all --onlyvisible --pid $app --name "long.torvic" >/dev/null 2>&1; echo $?)
kill $app 2>/dev/null

finish
