#!/usr/bin/env bash
# Builds the Windows programs and runs their tests under Wine, on a private
# X server, in a Wine prefix of the build's own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --windows
bash scripts/build-windows.sh
export WINEPREFIX="$PWD/build-win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Recovery copies an interrupted earlier run left in the prefix would be
# offered at the first start of the editor and stand in the tests' way.
rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/Torvic/recovery-*.torvic
cd build-win
status=0
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" sh -c 'wineboot -i >/dev/null 2>&1; ctest --output-on-failure' || status=$?
wineserver -k 2>/dev/null || true
exit $status
