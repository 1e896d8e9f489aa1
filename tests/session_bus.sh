# Sourced first by the tests that need a session bus of their own: the
# script runs again inside dbus-run-session, so the bus lives exactly as
# long as the script and nothing is left behind.
if [ -z "${IN_SESSION_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "SKIPPED: dbus-run-session is not installed"; exit 77; }
    IN_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
