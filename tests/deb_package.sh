#!/usr/bin/env bash
# The Debian package: built with CPack from the build folder, it holds the
# programs, the manual, the mime type, the desktop entry with its Edit action
# and the icon, system-wide, and lintian (which checks the desktop entries
# too) finds no error in it.
set -u
BUILD="$1"
source "$(dirname "$0")/lib.sh"
need cpack dpkg-deb dpkg-shlibdeps

(cd "$BUILD" && cpack -G DEB -B "$DIR/out" >"$DIR/cpack.log" 2>&1)
deb=$(ls "$DIR"/out/torvic_*.deb 2>/dev/null | head -1)
check "cpack made the package" $([ -n "$deb" ]; echo $?)
[ -n "$deb" ] || { cat "$DIR/cpack.log"; exit 1; }
dpkg-deb -x "$deb" "$DIR/root"
for f in usr/bin/torvic usr/bin/torvicrun usr/bin/torvicsetup usr/share/torvic/torvic.rtf usr/share/torvic/torvic.html \
         usr/share/mime/packages/torvic.xml usr/share/applications/torvic.desktop \
         usr/share/applications/torvic-editor.desktop usr/share/applications/torvic-manual.desktop \
         usr/share/icons/hicolor/scalable/apps/torvic.svg usr/share/doc/torvic/copyright; do
    check "the package holds /$f" $([ -e "$DIR/root/$f" ]; echo $?)
done
desktop="$DIR/root/usr/share/applications/torvic.desktop"
check "opening a .torvic file runs it hidden; its Edit action opens it in the editor" \
    $(grep -qx 'Exec=torvic /exec %f' "$desktop" && grep -qx 'Exec=torvic %f' "$desktop"; echo $?)
check "the package depends on Qt and libxdo" \
    $(dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 && dpkg-deb -f "$deb" Depends | grep -q libxdo3; echo $?)
check "the package depends on what the wlroots backend needs (libwayland-client, xkbcommon)" \
    $(dpkg-deb -f "$deb" Depends | grep -q libwayland-client0 && dpkg-deb -f "$deb" Depends | grep -q libxkbcommon0; echo $?)
if command -v lintian >/dev/null; then
    lintian "$deb" >"$DIR/lintian.log" 2>&1
    check "lintian finds no error" $(! grep -q '^E:' "$DIR/lintian.log"; echo $?)
    grep '^E:' "$DIR/lintian.log"
fi

# As root on a machine without Torvic (CI): install the package, use what it
# put in place, remove it again.
if [ "$(id -u)" -eq 0 ] && ! dpkg -s torvic >/dev/null 2>&1 && [ ! -e /usr/bin/torvic ]; then
    if dpkg -i "$deb" >"$DIR/dpkg.log" 2>&1; then
        printf 'a\r\n' > "$DIR/in.txt"
        script "$DIR/job.torvic" "open(\"$DIR/in.txt\")" 'repl("a","b")' "save(\"$DIR/out.txt\")"
        /usr/bin/torvicrun "$DIR/job.torvic" >/dev/null 2>&1
        check "the installed torvicrun runs a script" $([ "$(cat "$DIR/out.txt" 2>/dev/null)" = "$(printf 'b\r\n')" ]; echo $?)
        rm -f "$DIR/out.txt"
        QT_QPA_PLATFORM=offscreen timeout 30 /usr/bin/torvic /exec "$DIR/job.torvic" >/dev/null 2>&1
        check "the installed torvic runs a script hidden" $([ -f "$DIR/out.txt" ]; echo $?)
        check "the system knows the type" $(grep -q 'application/x-torvic' /usr/share/mime/globs2; echo $?)
    else
        check "dpkg installs the package" 1
        cat "$DIR/dpkg.log"
    fi
    dpkg -P torvic >"$DIR/dpkg.log" 2>&1
    check "the package is removed again" $([ ! -e /usr/bin/torvic ] && ! grep -q x-torvic /usr/share/mime/globs2; echo $?)
fi
finish
