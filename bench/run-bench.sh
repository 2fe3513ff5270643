#!/bin/bash
# Runs the benchmarks of a Release build and prints their medians:
#   bench/run-bench.sh [build folder (default: build)] [runs of each start-up (default: 15)]
# The build must have the bench programs and the sample disc (ninja brindle_bench
# brindle_bench_startup brindle_floor brindle_firstpaint sample-disc). Start-up and memory are
# taken under Xvfb, the menu on the sample disc against the bare-window floor built with the same
# Qt: in a build with the disc's own Qt, the floor built against that Qt (disc-qt-build/bench).
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-15}
bench=$build/bench
disc=$build/sample-disc
floor=$bench/brindle_floor
floor_qt="the system's Qt"
if [ -x "$build/disc-qt-build/bench/brindle_floor" ]; then
    floor=$build/disc-qt-build/bench/brindle_floor
    floor_qt="the disc's Qt"
fi
for program in brindle_bench brindle_bench_startup brindle_firstpaint; do
    [ -x "$bench/$program" ] || { echo "missing $bench/$program: build it first" >&2; exit 2; }
done
[ -x "$disc/CD07" ] || { echo "missing the sample disc $disc: ninja sample-disc" >&2; exit 2; }

# Every run gets a home and runtime folder of its own, so no other menu is found running.
scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fresh_session() {
    export HOME=$(mktemp -d -p "$scratch") XDG_RUNTIME_DIR=$(mktemp -d -p "$scratch")
    chmod 700 "$XDG_RUNTIME_DIR"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "== machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
echo
echo "== timer ticks"
fresh_session
QT_QPA_PLATFORM=offscreen "$bench/brindle_bench"
echo
echo "== start-up inside the program (sample disc)"
fresh_session
QT_QPA_PLATFORM=offscreen "$bench/brindle_bench_startup" "$disc/CD07"

# first_paint <label> <platform> <probes...>: runs of the floor and the menu in turn, medians.
first_paint() {
    local label=$1 mode=$2
    shift 2
    local floor_probes=() menu_probes=()
    if [ "$mode" = x11 ]; then
        fresh_session
        read -r -a floor_probes <<<"$("$bench/brindle_firstpaint" x11 "$@" -- "$floor")"
        fresh_session
        read -r -a menu_probes <<<"$(cd "$disc" && "$bench/brindle_firstpaint" x11 "$@" -- "$disc/CD07")"
    fi
    : >"$scratch/floor" && : >"$scratch/menu"
    for ((i = 0; i < runs; i++)); do
        fresh_session
        "$bench/brindle_firstpaint" "$mode" "${floor_probes[@]}" -- "$floor" >>"$scratch/floor"
        fresh_session
        (cd "$disc" && "$bench/brindle_firstpaint" "$mode" "${menu_probes[@]}" -- "$disc/CD07") >>"$scratch/menu"
    done
    local floor_ms menu_ms floor_kb menu_kb probe_ms
    floor_ms=$(field first_paint_ms <"$scratch/floor" | median)
    menu_ms=$(field first_paint_ms <"$scratch/menu" | median)
    floor_kb=$(field vmhwm_kb <"$scratch/floor" | median)
    menu_kb=$(field vmhwm_kb <"$scratch/menu" | median)
    probe_ms=$(field probe_ms <"$scratch/floor" | median)
    echo
    echo "== start to first paint, $label, median of $runs runs"
    echo "floor (built with $floor_qt): $floor_ms ms (its own first paint event: $probe_ms ms), peak resident $floor_kb kB"
    echo "menu:  $menu_ms ms, peak resident $menu_kb kB"
    echo "menu / floor: time $(ratio "$menu_ms" "$floor_ms"), memory $(ratio "$menu_kb" "$floor_kb")"
}

display=
for n in $(seq 90 99); do
    if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
DISPLAY=$display QT_QPA_PLATFORM=xcb first_paint "Xvfb" x11 20,20 320,240 600,440 100,400 540,60 300,30
