#!/bin/bash
# Figures of the disc's runtime: the disc's and the runtime's sizes, the newest C library and C++
# runtime symbol versions that the program and its runtime reference (the oldest systems the disc
# starts on), and the bytes read from the medium until the menu's window is visible, from a freshly
# mounted image of the sample disc (the count of bytes the FUSE reader read from the image file),
# with the files they went to, and how many of them went to the licences and Qt's source.
#   bench/runtime-figures.sh [build folder (default: build)] [runs (default: 5)]
# Needs the sample disc (ninja sample-disc), Xvfb, xdotool, fuseiso, and an image writer:
# `brindle-disc image` where the build has it, otherwise genisoimage.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
disc=$build/sample-disc
[ -x "$disc/CD07" ] || { echo "missing the sample disc $disc: ninja sample-disc" >&2; exit 2; }

scratch=$(mktemp -d)
mount=$scratch/disc
mkdir "$mount"
xvfb_pid=
cleanup() {
    mountpoint -q "$mount" && fusermount -u "$mount"
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }

echo "== sizes"
size() { du -cb "$@" | tail -n 1 | cut -f1; }
echo "disc: $(mb "$(size "$disc")"), of which Runtime/: $(mb "$(size "$disc/Runtime")")" \
    "(lib $(mb "$(size "$disc/Runtime/lib")"), fonts $(mb "$(size "$disc/Runtime/fonts")")," \
    "licences $(mb "$(size "$disc/Runtime/licences")"), source $(mb "$(size "$disc/Runtime/source")"))"
# A disc for both systems: what each system's part takes, and what they share.
if [ -f "$disc/CD07.exe" ]; then
    echo "for Linux: $(mb "$(size "$disc/CD07" "$disc/autorun.sh" "$disc/Runtime/lib")")" \
        "(program $(mb "$(size "$disc/CD07")"))"
    echo "for Windows: $(mb "$(size "$disc/CD07.exe" "$disc/autorun.inf")") (program $(mb "$(size "$disc/CD07.exe")"))"
    echo "both: $(mb "$(size "$disc/Files" "$disc/Runtime/fonts" "$disc/Runtime/licences" "$disc/Runtime/source")")" \
        "(Files/ $(mb "$(size "$disc/Files")"), fonts $(mb "$(size "$disc/Runtime/fonts")")," \
        "licences $(mb "$(size "$disc/Runtime/licences")"), sources $(mb "$(size "$disc/Runtime/source")"))"
fi

echo
echo "== newest symbol versions referenced (the system must provide them)"
elves=("$disc/CD07" $(find "$disc/Runtime" -name '*.so*' -type f))
for family in GLIBC GLIBCXX; do
    newest=$(for f in "${elves[@]}"; do objdump -T "$f" | grep -o "(${family}_[0-9.]*)" || true; done |
        tr -d '()' | sort -uV | tail -1)
    users=$(for f in "${elves[@]}"; do if [ "$(objdump -T "$f" | grep -c "($newest)")" -gt 0 ]; then basename "$f"; fi; done |
        tr '\n' ' ')
    echo "$newest, by: $users"
done

echo
echo "== bytes read from the medium until the window is visible ($runs runs)"
image=$scratch/disc.iso
"$build/tools/disctool/brindle-disc" image "$disc" "$image" >/dev/null 2>&1 ||
    genisoimage -quiet -R -J -V BRINDLE07 -o "$image" "$disc"
echo "image: $(mb "$(stat -c %s "$image")")"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"

reads=()
for run in $(seq "$runs"); do
    export HOME=$(mktemp -d -p "$scratch") XDG_RUNTIME_DIR=$(mktemp -d -p "$scratch")
    chmod 700 "$XDG_RUNTIME_DIR"
    # Foreground with the FUSE library's log of each request, to tell which files the reads went to.
    fuseiso -n "$image" "$mount" -d >"$scratch/reader.log" 2>&1 &
    reader=$!
    for _ in $(seq 100); do mountpoint -q "$mount" && break; sleep 0.1; done
    before=$(awk '/^rchar/ {print $2}' "/proc/$reader/io")
    (cd "$mount" && exec ./CD07) >/dev/null 2>&1 &
    menu=$!
    xdotool search --sync --onlyvisible --name '^Brindlemoor$' >/dev/null
    after=$(awk '/^rchar/ {print $2}' "/proc/$reader/io")
    reads+=($((after - before)))
    if [ "$run" = "$runs" ]; then
        echo "where they went in the last run (the kernel's read-ahead included):"
        awk '/opcode: (OPEN|READ)/ { match($0, /nodeid: [0-9]+/); node = substr($0, RSTART + 8, RLENGTH - 8) }
             /^open flags: / { name[node] = $4 }
             /^   read\[[0-9]+\] [0-9]+ bytes from/ { bytes[name[node]] += $2 }
             END { for (n in bytes) print bytes[n], n }' "$scratch/reader.log" | sort -rn >"$scratch/files"
        head -14 "$scratch/files" | while read -r bytes file; do echo "  $(mb "$bytes")  ${file#/}"; done
        # The licences and the sources travel for people, not for the menu: none of it is read.
        echo "  of which from Runtime/licences and Runtime/source:" \
            "$(awk '$2 ~ /^\/Runtime\/(licences|source)\// { sum += $1 } END { print sum + 0 }' "$scratch/files") bytes"
    fi
    kill "$menu"
    wait "$menu" 2>/dev/null || true
    fusermount -u "$mount"
    wait "$reader" 2>/dev/null || true
done
echo "median: $(mb "$(printf '%s\n' "${reads[@]}" | median)") (runs: ${reads[*]} bytes)"
