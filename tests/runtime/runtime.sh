#!/usr/bin/env bash
# The disc's program on a desktop without Qt and without the Liberation fonts, made by hiding them
# in a private mount namespace: with Qt installed and LD_LIBRARY_PATH and Qt's plugin paths leading
# to it, the program loads nothing of Qt but itself and every library of the disc's runtime still
# comes from the disc; on X11 (Xvfb) its window appears with the disc label drawn exactly as with
# the same fonts (Liberation 2) installed; on Wayland (weston, headless, no X server)
# the menu shows, the credits open and close when pressed as a screen reader presses them, and a
# second start ends at once; on sway (headless) a second start has the running menu, behind another
# window, come forward or ask for attention. `brindle-disc check` finds a runtime with a library or
# a plugin taken away, in a folder and in an image. The program runs from the sample disc's image
# mounted read-only, as from a pressed disc.
# Usage: runtime.sh SAMPLE_DISC_IMAGE DISC_TOOL SHOTS_FOLDER
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
multiarch="$(gcc -print-multiarch)"

# runtime.sh --hidden COMMAND...: runs COMMAND with the system's Qt libraries and plugins and the
# Liberation fonts hidden (to be started by unshare -m). An empty file stands over each Qt library,
# so that a library looked for on the system fails to load instead of being found.
# runtime.sh --old-fonts-hidden COMMAND...: runs COMMAND with the Liberation fonts 1.07 hidden, so
# that the system's fonts are those the disc carries.
if [[ "${1:-}" == --old-fonts-hidden ]]; then
    shift
    old_fonts=/usr/share/fonts/truetype/liberation
    if [[ -d $old_fonts ]]; then mount -t tmpfs none "$old_fonts" || exit 1; fi
    exec "$@"
fi
if [[ "${1:-}" == --hidden ]]; then
    shift
    for f in /usr/lib/"$multiarch"/libQt6*; do
        if [[ -f "$f" && ! -L "$f" ]]; then mount --bind "$HIDE_EMPTY" "$f" || exit 1; fi
    done
    mount -t tmpfs none "/usr/lib/$multiarch/qt6" || exit 1
    for d in /usr/share/fonts/truetype/liberation*; do mount -t tmpfs none "$d" || exit 1; done
    exec "$@"
fi

source "$here/../e2e/lib.sh"
sample_image="$1"
disc_tool="$2"
E2E_SHOTS="$3"
rm -rf "$E2E_SHOTS"
mkdir -p "$E2E_SHOTS"

start_display
WESTON="" BUS="" SWAY=""
trap 'kill $WESTON $BUS $SWAY 2>/dev/null; stop_display' EXIT
trap 'exit 130' INT TERM
sample_disc="$E2E_WORK/disc"
mount_image "$sample_image" "$sample_disc" || exit 1
program="$(find "$sample_disc" -maxdepth 1 -type f -executable -name 'CD*' ! -name '*.exe' | head -n 1)"
[[ -n "$program" ]] || { echo "no program on the sample disc image $sample_image"; exit 1; }
export HIDE_EMPTY="$E2E_WORK/empty"
: >"$HIDE_EMPTY"

# start_clean_menu [ENV...]: starts the disc's program from its folder on the clean desktop.
start_clean_menu() {
    (cd "$sample_disc" && exec env "$@" unshare -m bash "$here/runtime.sh" --hidden "$program") \
        >>"$E2E_WORK/menu.log" 2>&1 &
    MENU_PID=$!
}
stop_menu() {
    kill "$MENU_PID" 2>/dev/null
    wait "$MENU_PID" 2>/dev/null
}
# The disc label's rectangle in a shot whose window client area starts at OX, OY.
label_sum() { region_sum $((OX + 523)) $((OY + 135)) 84 18; }
log_tail() { tail -n 3 "$E2E_WORK/menu.log" | tr '\n' ' '; }

# mapped_elsewhere PID: the libraries and plugins of the disc's runtime that process PID mapped from
# somewhere other than the disc.
mapped_elsewhere() {
    awk '$6 ~ /[.]so/ { print $6 }' "/proc/$1/maps" | sort -u | while read -r path; do
        name="${path##*/}"
        if [[ $path != "$sample_disc"/* && ($name == libQt6* || $path == */plugins/* ||
            -e "$sample_disc/Runtime/lib/$name") ]]; then
            echo "$path"
        fi
    done
}

# qt_mapped PID: the Qt libraries and plugins that process PID mapped: none, Qt being linked in.
qt_mapped() { awk '$6 ~ /libQt6|\/plugins\// { print $6 }' "/proc/$1/maps" | sort -u | tr '\n' ' '; }

# With Qt and the fonts the disc carries installed, and an environment that leads to that Qt: the
# disc's program keeps to its own.
E2E_JOURNEY=x11
system_libs="/usr/lib/$multiarch"
(cd "$sample_disc" && exec env LD_LIBRARY_PATH="$system_libs" QT_PLUGIN_PATH="$system_libs/qt6/plugins" \
    QT_QPA_PLATFORM_PLUGIN_PATH="$system_libs/qt6/plugins/platforms" QT_IM_MODULE=ibus \
    unshare -m bash "$here/runtime.sh" --old-fonts-hidden "$program") >>"$E2E_WORK/menu.log" 2>&1 &
MENU_PID=$!
wait_until 30 main_window || fail "with Qt installed: no window ($(log_tail))"
expect_eq "runtime libraries taken from the system" "" "$(mapped_elsewhere "$MENU_PID" | tr '\n' ' ')"
expect_eq "Qt libraries and plugins loaded with Qt installed" "" "$(qt_mapped "$MENU_PID")"
origin "$(main_window)"
sleep 1
shot installed
reference="$(label_sum)"
label="$E2E_WORK/label.png"
convert "$E2E_LAST_SHOT" -crop "84x18+$((OX + 523))+$((OY + 135))" +repage "$label"
click_at $((268 + 53)) $((361 + 54))
wait_until 10 window_with_size 462x439 || fail "with Qt installed: the credits window did not open"
origin "$(window_with_size 462x439)"
sleep 1
shot credits
# A corner of the credits' artwork: the coloured blocks on the banner's blue.
credits="$E2E_WORK/credits.png"
convert "$E2E_LAST_SHOT" -crop "48x24+$((OX + 16))+$((OY + 36))" +repage "$credits"
stop_menu
wait_until 5 bash -c '! xdotool search --onlyvisible --name "^Brindlemoor$"'

start_clean_menu
if wait_until 30 main_window; then
    origin "$(main_window)"
    sleep 1
    shot clean
    expect_eq "disc label drawn without the system's Qt and fonts" "$reference" "$(label_sum)"
    expect_eq "Qt libraries and plugins loaded without Qt" "" "$(qt_mapped "$MENU_PID")"
    expect_eq "runtime libraries taken from elsewhere without Qt" "" "$(mapped_elsewhere "$MENU_PID" | tr '\n' ' ')"
else
    fail "without Qt: no window ($(log_tail))"
fi
stop_menu

# What a start reads from the disc before its window shows, in the order it first reads it, is the
# list the disc tool lays the image out by; the disc's image as a desktop mounts it, cold.
E2E_JOURNEY=start-order
logged="$E2E_WORK/logged"
reads="$E2E_WORK/reads.log"
if mount_image "$sample_image" "$logged" "$reads"; then
    : >"$reads"
    (cd "$logged" && exec unshare -m bash "$here/runtime.sh" --hidden "./${program##*/}") >>"$E2E_WORK/menu.log" 2>&1 &
    MENU_PID=$!
    wait_until 30 main_window || fail "no window ($(log_tail))"
    expect_start_order linux "${program##*/}" "$reads"
    stop_menu
    unmount_image "$logged"
fi

E2E_JOURNEY=wayland
wayland="$E2E_WORK/wayland"
mkdir -m 700 "$wayland"
XDG_RUNTIME_DIR="$wayland" weston --backend=headless-backend.so --use-pixman \
    --width=640 --height=480 --socket=brindle --idle-time=0 --debug >"$E2E_WORK/weston.log" 2>&1 &
WESTON=$!
wait_until 10 test -S "$wayland/brindle" || fail "weston did not start ($(tail -n 3 "$E2E_WORK/weston.log"))"
wayland_env=(-u DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$wayland" WAYLAND_DISPLAY=brindle XDG_SESSION_TYPE=wayland)
# A private session bus, on which the accessibility bus starts when first asked for; the menu
# offers its controls there as for a screen reader.
mapfile -t bus < <(env "${wayland_env[@]}" dbus-daemon --session --fork --print-address=1 --print-pid=1)
BUS=${bus[1]}
wayland_env+=(DBUS_SESSION_BUS_ADDRESS="${bus[0]}" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
press() { env "${wayland_env[@]}" /usr/bin/python3 "$here/../support/press.py" "$MENU_PID" "$1"; }
# wayland_shot NAME: the compositor's screenshot. The output is no larger than the window, so the
# compositor puts the window at the top left of its work area, below its panel.
wayland_shot() {
    rm -f "$wayland"/shots/*.png
    mkdir -p "$wayland/shots"
    (cd "$wayland/shots" && env "${wayland_env[@]}" weston-screenshooter) >/dev/null 2>&1 || return 1
    E2E_LAST_SHOT="$E2E_SHOTS/wayland/$1.png"
    mkdir -p "$E2E_SHOTS/wayland"
    mv "$wayland"/shots/*.png "$E2E_LAST_SHOT" 2>/dev/null
}
start_clean_menu "${wayland_env[@]}"
# The disc label, pixel for pixel as on X11, somewhere near its place below the window's title bar.
shows_menu() {
    wayland_shot menu &&
        convert "$E2E_LAST_SHOT" -crop 160x260+480+100 +repage "$wayland/near-label.png" &&
        compare -metric AE -subimage-search "$wayland/near-label.png" "$label" null: 2>/dev/null
}
wait_until 6 shows_menu || fail "the menu did not show on Wayland ($(log_tail))"
# The corner of the credits' artwork, pixel for pixel as on X11: the compositor puts the top of a
# window taller than its work area just below its panel, and across it picks a place at random.
credits_in_shot() {
    compare -metric AE -subimage-search "${E2E_LAST_SHOT}[640x40+0+86]" +repage "$credits" null: 2>/dev/null
}
# The menu below the compositor's panel as it was before the credits opened.
menu_back() {
    compare -metric AE "$E2E_SHOTS/wayland/menu.png[640x448+0+32]" "${E2E_LAST_SHOT}[640x448+0+32]" null: 2>/dev/null
}
credits_in_shot && fail "the credits' artwork is on the Wayland menu before the credits open"
press Credits || fail "pressing Credits through the accessibility bus failed"
wait_until 6 eval 'wayland_shot credits && credits_in_shot' || fail "the credits did not show on Wayland"
press "Close the credits" || fail "pressing the credits to close them failed"
wait_until 6 eval 'wayland_shot closed && menu_back' || fail "the credits did not close on Wayland"
first=$MENU_PID
start_clean_menu "${wayland_env[@]}"
wait_until 15 bash -c "! kill -0 $MENU_PID" || fail "a second start on Wayland did not end"
wait "$MENU_PID"
expect_eq "second start's exit status" 0 "$?" || cat "$E2E_WORK/menu.log"
kill -0 "$first" 2>/dev/null || fail "the first menu ended when the second started"
MENU_PID=$first
stop_menu

# sway offers xdg-activation and marks a window that asks for attention as urgent. It refuses to
# run as root, so it runs in a user namespace of its own.
E2E_JOURNEY=sway
sway_dir="$E2E_WORK/sway"
mkdir -m 700 "$sway_dir"
echo "xwayland disable" >"$E2E_WORK/sway.conf"
XDG_RUNTIME_DIR="$sway_dir" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    unshare -U sway -c "$E2E_WORK/sway.conf" >"$E2E_WORK/sway.log" 2>&1 &
SWAY=$!
wait_until 10 compgen -G "$sway_dir/sway-ipc.*.sock" || fail "sway did not start ($(tail -n 3 "$E2E_WORK/sway.log"))"
export SWAYSOCK="$(compgen -G "$sway_dir/sway-ipc.*.sock")"
sway_env=(-u DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$sway_dir" WAYLAND_DISPLAY=wayland-1 XDG_SESSION_TYPE=wayland)
# sway_window PID [CRITERION]: sway shows a window of process PID that meets the criterion.
sway_window() { swaymsg "[pid=$1 ${2:-}] nop"; }
start_clean_menu "${sway_env[@]}"
first=$MENU_PID
wait_until 30 sway_window "$first" || fail "the menu did not show on sway ($(log_tail))"
env "${sway_env[@]}" weston-flower >/dev/null 2>&1 &
wait_until 10 sway_window $! con_id=__focused__ || fail "another window did not take the focus from the menu"
start_clean_menu "${sway_env[@]}"
wait_until 15 bash -c "! kill -0 $MENU_PID" || fail "a second start on sway did not end"
wait "$MENU_PID"
expect_eq "second start's exit status on sway" 0 "$?"
wait_until 5 eval 'sway_window $first con_id=__focused__ || sway_window $first urgent=latest' ||
    fail "the running menu neither came forward nor asked for attention on sway"
MENU_PID=$first
stop_menu

E2E_JOURNEY=check
copy="$E2E_WORK/runtime-check"
cp -r "$sample_disc/." "$copy/" && chmod -R u+w "$copy"
rm "$copy/Runtime/lib/libxkbcommon.so.0" "$copy/Runtime/licences/LGPL-3.txt" "$copy/Runtime/source/disc-qt.patch" \
    "$copy/Runtime/licences/OFL-1.1.txt" "$copy"/Runtime/source/brindlemoor-*-source.tar.xz
"$disc_tool" image --force "$copy" "$E2E_WORK/incomplete.iso" >/dev/null || fail "could not master an incomplete disc"
for disc in "$copy" "$E2E_WORK/incomplete.iso"; do
    found="$("$disc_tool" check "$disc")"
    status=$?
    expect_eq "check's exit status with an incomplete runtime in $(basename "$disc")" 1 "$status"
    for line in \
        "error: $(basename "$program"): needs libxkbcommon.so.0, which is neither in Runtime/lib/ nor left to the system" \
        "error: Runtime/lib/libxkbcommon-x11.so.0: needs libxkbcommon.so.0, which is neither" \
        "error: Runtime/licences/LGPL-3.txt: missing: Qt travels under the GNU LGPL v3" \
        "error: Runtime/source/: lacks disc-qt.patch: the source of the Qt on the disc must travel with it" \
        "error: Runtime/source/: lacks the menu's source (brindlemoor-<version>-source.tar.xz)" \
        "error: Runtime/licences/OFL-1.1.txt: missing: the fonts in Runtime/fonts/ are under the SIL Open Font"; do
        grep -qF "$line" <<<"$found" || fail "check of $(basename "$disc") did not report: $line"
    done
done
rm -rf "$copy"

((E2E_FAILURES == 0)) || { echo "$E2E_FAILURES failed expectation(s); shots in $E2E_SHOTS"; exit 1; }
echo "clean desktop: X11, Wayland (weston, sway) and the runtime check passed"
