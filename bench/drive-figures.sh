#!/bin/bash
# SPDX-License-Identifier: MIT
# The start from a disc in a drive: the sample disc's image in a modelled 48x CD-ROM drive
# (brindle_drive, bench/OpticalDrive.cpp), mounted afresh with fuseiso for every start, as a desktop
# mounts a disc just inserted. For the menu and for the floor (a bare Qt window linked to the same Qt,
# on the same image), on Linux under Xvfb and, where the disc carries the Windows program, under Wine
# with the image as CD-ROM drive D: (Wine itself is started first: it comes from the system's disk).
# Prints the medians of the time from the program's start until its window shows, of what the drive
# served until then (bytes, requests, seeks and their share of the drive's time), and the files
# opened from the disc before the window, of the last run. "record" prints instead, for each system,
# the files the menu's start reads, in the order it first reads them (packaging/runtime/start-order.txt).
#   bench/drive-figures.sh [build folder (default: build)] [runs (default: 3)] [linux|windows|record]
# Needs a build with the disc's own Qt (the sample disc with its runtime and disc-qt-build/bench),
# brindle_drive and brindle-disc, Xvfb, xdotool and fuseiso; wine64 for the Windows figures.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
only=${3:-}
disc=$build/sample-disc
drive=$build/bench/brindle_drive
floor=$build/disc-qt-build/bench/disc/Floor
for f in "$disc/CD07" "$disc/Runtime" "$drive" "$floor" "$build/tools/disctool/brindle-disc"; do
    [ -e "$f" ] || { echo "missing $f: a build with the disc's Qt (-DBRINDLE_DISC_QT), then ninja" >&2; exit 2; }
done

scratch=$(mktemp -d)
served=$scratch/drive
mount=$scratch/disc
mkdir "$served" "$mount"
xvfb_pid=
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if mountpoint -q "$mount"; then fusermount -u -z "$mount"; fi
    if mountpoint -q "$served"; then fusermount -u -z "$served"; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1e6 }'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# opened LOG / first_read LOG: the files a reader's log shows opened, and read in the order first read.
opened() { sed -n 's/^open flags: 0x[0-9a-f]* \///p' "$1" | sort -u; }
first_read() { awk -f "$here/../tests/support/first-reads.awk" "$1"; }

# The disc as it ships, with the floor beside the program.
pressing=$scratch/pressing
cp -a "$disc" "$pressing"
# The floor is named for the same disc, as a disc's programs must be.
cp "$floor" "$pressing/Floor07"
[ -f "$build/windows-build/bench/Floor.exe" ] && cp "$build/windows-build/bench/Floor.exe" "$pressing/Floor07.exe"
image=$scratch/disc.iso
"$build/tools/disctool/brindle-disc" image "$pressing" "$image" >/dev/null
echo "image: $(mb "$(stat -c %s "$image")"), mastered by brindle-disc image"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"

# insert: the image into a cold drive, mounted as a desktop mounts a disc (fuseiso keeping the pages
# it has read, as a kernel mount does), with its request log.
insert() {
    "$drive" --log "$scratch/drive.log" "$image" "$served" -f >/dev/null 2>&1 &
    drive_pid=$!
    for _ in $(seq 100); do [ -f "$served/disc.iso" ] && break; sleep 0.05; done
    : >"$scratch/reader.log"
    fuseiso -n "$served/disc.iso" "$mount" -d -o kernel_cache >>"$scratch/reader.log" 2>&1 &
    reader_pid=$!
    for _ in $(seq 100); do mountpoint -q "$mount" && break; sleep 0.05; done
    # What mounting read (the volume descriptors and the root folder) is the desktop's, not the start's.
    cp "$served/figures" "$scratch/mounted"
}

eject() {
    fusermount -u "$mount" 2>/dev/null || fusermount -u -z "$mount"
    wait "$reader_pid" 2>/dev/null || true
    fusermount -u "$served" 2>/dev/null || fusermount -u -z "$served"
    wait "$drive_pid" 2>/dev/null || true
}

# start NAME WINDOW COMMAND...: one start from a freshly inserted disc, timed until a window named
# WINDOW is visible; appends "ms busy bytes requests seeks seek_seconds" to $scratch/NAME.
start() {
    local name=$1 window=$2
    shift 2
    export HOME=$(mktemp -d -p "$scratch") XDG_RUNTIME_DIR=$(mktemp -d -p "$scratch")
    chmod 700 "$XDG_RUNTIME_DIR"
    local begin end
    # The reader's log in append mode: emptied here, it holds the start's requests alone.
    : >"$scratch/reader.log"
    begin=$(now_ms)
    (cd "$mount" && exec "$@") >/dev/null 2>&1 &
    local program=$!
    until xdotool search --onlyvisible --name "^$window\$" >/dev/null 2>&1; do
        kill -0 "$program" 2>/dev/null || { echo "$name ended before its window showed" >&2; return 1; }
        [ $(($(now_ms) - begin)) -gt 120000 ] && { echo "$name: no window in 120 s" >&2; return 1; }
        sleep 0.01
    done
    end=$(now_ms)
    cp "$served/figures" "$scratch/shown"
    cp "$scratch/reader.log" "$scratch/$name.reader.log"
    cp "$scratch/drive.log" "$scratch/$name.drive.log"
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null || true
    echo "$((end - begin)) $(awk 'NR == FNR { before[$1] = $2; next } { now[$1] = $2 - before[$1] }
        END { print now["busy_seconds"], now["bytes"], now["requests"], now["seeks"], now["seek_seconds"] }' \
        "$scratch/mounted" "$scratch/shown")" >>"$scratch/$name"
}

# report NAME LABEL: the medians of NAME's runs and the files its last run opened from the disc.
report() {
    local name=$1 label=$2 col
    col() { awk -v c="$1" '{ print $c }' "$scratch/$name" | median; }
    local ms busy bytes requests seeks seek
    ms=$(col 1) busy=$(col 2) bytes=$(col 3) requests=$(col 4) seeks=$(col 5) seek=$(col 6)
    echo "$label: window after $(awk -v m="$ms" 'BEGIN { printf "%.2f", m / 1000 }') s;" \
        "the drive busy $busy s for $(mb "$bytes") in $requests requests, $seeks seeks" \
        "($(awk -v s="$seek" -v b="$busy" 'BEGIN { printf "%.0f", (b > 0 ? 100 * s / b : 0) }')% of its time)" \
        "(runs, ms: $(awk '{ printf "%s ", $1 }' "$scratch/$name"))"
    local files
    files=$(opened "$scratch/$name.reader.log")
    echo "  files opened from the disc before the window ($(wc -l <<<"$files")): $(tr '\n' ',' <<<"$files" | sed 's/,$//; s/,/, /g')"
}

if [ "$only" = record ]; then
    insert && start menu Brindlemoor ./CD07 && eject
    echo "[linux]"
    first_read "$scratch/menu.reader.log" | sed 's/^CD07$/{program}/'
fi

if [ "$only" != windows ] && [ "$only" != record ]; then
    echo
    echo "== Linux, Xvfb: median of $runs starts from a freshly inserted disc"
    for run in $(seq "$runs"); do
        insert && start floor Floor ./Floor07 && eject
        insert && start menu Brindlemoor ./CD07 && eject
    done
    report floor "floor"
    report menu "menu "
fi

if [ "$only" != linux ] && [ -f "$pressing/CD07.exe" ] && command -v wine >/dev/null; then
    echo
    echo "== Windows, Wine $(wine --version 2>/dev/null), the image as CD-ROM drive D: (Wine started first)"
    export WINEPREFIX=$scratch/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wineboot --init >/dev/null 2>&1
    wineserver -w
    ln -s "$mount" "$WINEPREFIX/dosdevices/d:"
    printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"d:"="cdrom"\n' >"$scratch/drive.reg"
    wine regedit /S "$(winepath -w "$scratch/drive.reg")" >/dev/null 2>&1
    wineserver -w
    windows_start() {
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w
        insert
        # Wine's own start, from the system's disk, before the timed one.
        wine cmd /c exit >/dev/null 2>&1
        cp "$served/figures" "$scratch/mounted"
        start "$1" "$2" wine "D:\\$3"
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w
        eject
    }
    if [ "$only" = record ]; then
        windows_start menu-win Brindlemoor CD07.exe
        echo "[windows]"
        first_read "$scratch/menu-win.reader.log" | sed 's/^CD07\.exe$/{program}/'
        exit 0
    fi
    for run in $(seq "$runs"); do
        [ -f "$pressing/Floor07.exe" ] && windows_start floor-win Floor Floor07.exe
        windows_start menu-win Brindlemoor CD07.exe
    done
    [ -f "$pressing/Floor07.exe" ] && report floor-win "floor"
    report menu-win "menu "
fi
