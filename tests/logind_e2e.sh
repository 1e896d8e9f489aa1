#!/usr/bin/env bash
# Power commands against a private D-Bus daemon that runs python3-dbusmock's
# logind template: each command must make the expected logind call and no
# other. The machine's own system bus is never used.
set -u
RUN="$1"
PY=/usr/bin/python3
source "$(dirname "$0")/lib.sh"
need dbus-daemon
need_dbusmock

dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$DIR/address" 4>"$DIR/pid"
ADDRESS="$(head -1 "$DIR/address")"
pids+=("$(cat "$DIR/pid")")
export DBUS_SYSTEM_BUS_ADDRESS="$ADDRESS"
unset DBUS_SESSION_BUS_ADDRESS
$PY -m dbusmock --system --template logind >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    dbus-send --bus="$ADDRESS" --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.freedesktop.login1 2>/dev/null | grep -q "boolean true" && break
    sleep 0.1
done

mock() { dbus-send --bus="$ADDRESS" --print-reply --dest=org.freedesktop.login1 /org/freedesktop/login1 org.freedesktop.DBus.Mock."$1"; }
calls() { mock GetCalls | grep -oE 'string "[A-Za-z]+"' | awk '{print $2}' | tr -d '"' | grep -E '^[A-Z]' | tr '\n' ' '; }

expect() {  # script line, expected calls
    mock ClearCalls >/dev/null
    script "$DIR/p.torvic" "$1"
    XDG_SESSION_ID=c7 timeout 20 "$RUN" --on-error=stop "$DIR/p.torvic" 2>"$DIR/err"
    local got; got="$(calls)"
    check "$1: expected '$2', got '$got' $(cat "$DIR/err")" $([ "$got" = "$2" ]; echo $?)
}
expect "off(1,1)" "PowerOff "
expect "off()" "PowerOff "
expect "off(0,2)" "Reboot "
expect "reboot(3)" "Reboot "
expect "off(0,3)" "TerminateSession "
expect "logoff(1)" "TerminateSession "
check "the session terminated is the caller's own" $(mock GetCalls | grep -q 'string "c7"'; echo $?)
expect "standby()" "Suspend "
expect "' nothing" ""

finish
