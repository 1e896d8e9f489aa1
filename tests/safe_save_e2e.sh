#!/usr/bin/env bash
# Saving through the real file system, as the user who runs the script:
# a file that user may not write (read-only, mode 000, another user's in a
# shared folder) is left as it is and the line fails with the reason, so
# --on-error decides and --on-error=stop exits non-zero; an unreadable file
# is reported with its reason; a full file system fails the line and keeps
# the previous file; a 255-byte name saves; a temporary file a killed save
# left is removed by the next save of the same target.
# The ordinary user's cases need root to switch to `nobody`; they are
# skipped, saying so, where the test cannot switch.
set -u
RUN="$(realpath "$1")"
source "$(dirname "$0")/lib.sh"
unset DISPLAY
chmod 755 "$DIR"
cd "$DIR"

has() { grep -qF "$1" <<<"$err"; }
# Runs torvicrun as user $1 (root: as we are) with the rest as arguments.
run_as() {
    local who=$1; shift
    if [ "$who" = root ]; then runit "$@"; return; fi
    timeout 30 setpriv --reuid="$who" --regid="$(id -g "$who")" --clear-groups "$RUN" --trace "$@" </dev/null 2>"$DIR/err" >/dev/null
    rc=$?; err="$(cat "$DIR/err")"
}
printf 'nou\r\n' > new.txt
chmod 644 new.txt
# A script that saves new.txt's text over $1, then beeps.
saver() { script "$DIR/save-$2.torvic" "open(\"$DIR/new.txt\")" "save(\"$1\")" "beep"; chmod 644 "$DIR/save-$2.torvic"; }

# ---- as root: a file nobody may write is still left alone
printf 'original\r\n' > ro.txt; chmod 444 ro.txt
saver "$DIR/ro.txt" ro
for row in "--on-error=stop 1 no" "--on-error=continue 0 yes" "default 1 no"; do
    read -r opt want next <<<"$row"
    run_as root ${opt#default} save-ro.torvic
    ran=no; has "[2] beep" && ran=yes
    check "root, a mode 444 file, $opt: exits $want (rc $rc), the next line runs: $next" \
        $([ $rc -eq $want ] && [ $ran = $next ]; echo $?)
done
check "... the reason is on the message's first line" $(has "Error en comanda SAVE en linia  1: no s'ha pogut guardar '$DIR/ro.txt': el fitxer és només de lectura"; echo $?)
check "... and the file is untouched" $([ "$(cat ro.txt)" = "$(printf 'original\r\n')" ] && [ "$(stat -c %a ro.txt)" = 444 ]; echo $?)

# ---- a full file system (a small tmpfs where one can be mounted, else a file-size limit)
printf 'previous\r\n' > full-src.txt
head -c 200000 /dev/zero | tr '\0' y > big.txt
mkdir small
if mount -t tmpfs -o size=64k tmpfs small 2>/dev/null; then
    how="a full 64 KiB file system"; limit=unlimited
    trap 'umount "$DIR/small" 2>/dev/null; cleanup' EXIT
else
    how="a file-size limit"; limit=64
fi
printf 'previous\r\n' > small/keep.txt
script full.torvic "open(\"$DIR/big.txt\")" "save(\"$DIR/small/keep.txt\")" "beep"
(ulimit -f $limit; trap '' XFSZ; runit --on-error=stop full.torvic; exit $rc)
rc=$?; err="$(cat "$DIR/err")"
check "$how: --on-error=stop exits non-zero (rc $rc) and says why" \
    $([ $rc -ne 0 ] && has "no s'ha pogut guardar" && ! has "[2] beep"; echo $?)
check "$how: the previous file is kept" $([ "$(cat small/keep.txt)" = "$(printf 'previous\r\n')" ]; echo $?)
check "$how: no temporary file is left" $([ -z "$(ls -A small | grep -v '^keep.txt$')" ]; echo $?)
umount small 2>/dev/null

# ---- the longest name the system takes
long="$DIR/$(printf 'n%.0s' $(seq 255))"
script long.torvic "open(\"$DIR/new.txt\")" "save(\"$long\")" "save(\"$long\")"
runit --on-error=stop long.torvic
check "a 255-byte name saves, twice (rc $rc)" $([ $rc -eq 0 ] && [ "$(cat "$long")" = "$(printf 'nou\r\n')" ]; echo $?)

# ---- a temporary file a killed save left: removed by the next save of its target
fnv() {  # the 8-digit name hash the saver names its temporary files by
    local s=$1 h=2166136261 i c
    for ((i = 0; i < ${#s}; i++)); do printf -v c '%d' "'${s:i:1}"; h=$(( ((h ^ c) * 16777619) & 0xFFFFFFFF )); done
    printf '%08x' $h
}
stale=".torvic-$(fnv target.txt)-Ab12Cd"
other=".torvic-$(fnv altre.txt)-Ab12Cd"
echo half > "$stale"; echo half > "$other"
script stale.torvic "open(\"$DIR/new.txt\")" "save(\"$DIR/target.txt\")"
runit --on-error=stop stale.torvic
check "a stale temporary file of the target is removed by its next save (rc $rc)" \
    $([ $rc -eq 0 ] && [ ! -e "$stale" ] && [ -e "$other" ] && [ -e target.txt ]; echo $?)

# ---- as an ordinary user
if [ "$(id -u)" -ne 0 ] || ! id nobody >/dev/null 2>&1 || ! command -v setpriv >/dev/null; then
    echo "SKIPPED: the ordinary user's cases need root and the user nobody to switch to"
    finish
    exit $?
fi
mkdir shared mine
chmod 1777 shared
chown nobody mine
saver "$DIR/new.txt" unused
# name|owner|mode|folder|reason
while IFS='|' read -r label owner mode folder why; do
    f="$DIR/$folder/$label.txt"
    printf 'original\r\n' > "$f"; chown "$owner" "$f"; chmod "$mode" "$f"
    saver "$f" "$label"
    for row in "--on-error=stop 1" "--on-error=continue 0"; do
        read -r opt want <<<"$row"
        run_as nobody $opt "save-$label.torvic"
        check "nobody, $label, $opt: exits $want (rc $rc), says \"$why\"" $([ $rc -eq $want ] && has "$why"; echo $?)
    done
    check "nobody, $label: the file is untouched (owner, mode, bytes)" \
        $([ "$(stat -c %U:%a "$f")" = "$owner:$mode" ] && [ "$(cat "$f")" = "$(printf 'original\r\n')" ]; echo $?)
done <<'END'
own-444|nobody|444|mine|el fitxer és només de lectura
own-000|nobody|0|mine|el fitxer és només de lectura
roots-644|root|644|shared|el fitxer és només de lectura
roots-666|root|666|shared|el fitxer és d'un altre usuari
END

# An unreadable file: open says why (not "not found"); its own file saves as before.
printf 'secret\r\n' > mine/hidden.txt; chown nobody mine/hidden.txt; chmod 0 mine/hidden.txt
script unreadable.torvic "open(\"$DIR/mine/hidden.txt\")" "beep"
chmod 644 unreadable.torvic
run_as nobody --on-error=continue unreadable.torvic
check "nobody, an unreadable file: open reports the permission (rc $rc)" $([ $rc -eq 0 ] && has "Permís denegat"; echo $?)
printf 'old\r\n' > mine/ok.txt; chown nobody mine/ok.txt; chmod 640 mine/ok.txt
saver "$DIR/mine/ok.txt" ok
run_as nobody --on-error=stop save-ok.torvic
check "nobody, its own writable file: saved, mode kept (rc $rc)" \
    $([ $rc -eq 0 ] && [ "$(cat mine/ok.txt)" = "$(printf 'nou\r\n')" ] && [ "$(stat -c %U:%a mine/ok.txt)" = nobody:640 ]; echo $?)
finish
