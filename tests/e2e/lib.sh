# Helpers for the end-to-end journeys: a real X server with a window manager, the real program,
# a real pointer and keyboard, and screenshots read back at chosen pixels.

E2E_FAILURES=0
E2E_JOURNEY=""
E2E_LIB="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

log() { printf '    %s\n' "$*"; }

# fail MESSAGE: records a failed expectation of the current journey.
fail() {
    printf '    FAIL [%s]: %s\n' "$E2E_JOURNEY" "$*"
    E2E_FAILURES=$((E2E_FAILURES + 1))
    shot "failure-$E2E_FAILURES"
    return 1
}

# expect_eq WHAT EXPECTED SEEN
expect_eq() {
    if [[ "$2" != "$3" ]]; then
        fail "$1: expected '$2', saw '$3'"
        return 1
    fi
}

# wait_until TIMEOUT_SECONDS COMMAND...: polls until the command succeeds.
wait_until() {
    local limit=$(($1 * 10))
    shift
    for ((i = 0; i < limit; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

start_display() {
    E2E_WORK="$(mktemp -d)"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$E2E_WORK/display" >/dev/null 2>&1 &
    E2E_XVFB=$!
    wait_until 10 test -s "$E2E_WORK/display" || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=":$(cat "$E2E_WORK/display")" QT_QPA_PLATFORM=xcb
    export HOME="$E2E_WORK/home" XDG_CONFIG_HOME="$E2E_WORK/home/.config"
    export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    openbox --sm-disable >/dev/null 2>&1 &
    E2E_WM=$!
    wait_until 10 xprop -root _NET_SUPPORTING_WM_CHECK || { echo "openbox did not start"; exit 1; }
    # A recording stand-in for the desktop's opener.
    mkdir -p "$E2E_WORK/bin"
    cat >"$E2E_WORK/bin/xdg-open" <<'OPENER'
#!/bin/sh
printf '%s|%s\n' "$PWD" "$*" >> "$E2E_OPEN_LOG"
OPENER
    chmod +x "$E2E_WORK/bin/xdg-open"
    # The desktop's program for Windows programs (Wine), which a journey may take away.
    cat >"$E2E_WORK/bin/xdg-mime" <<'MIME'
#!/bin/sh
[ "$1" = query ] && [ "$2" = default ] && cat "$(dirname "$0")/windows-programs" 2>/dev/null
exit 0
MIME
    chmod +x "$E2E_WORK/bin/xdg-mime"
    echo wine.desktop >"$E2E_WORK/bin/windows-programs"
    export E2E_OPEN_LOG="$E2E_WORK/opened.log"
    : >"$E2E_OPEN_LOG"
    export PATH="$E2E_WORK/bin:$PATH"
}

stop_display() {
    [[ -n "${MENU_PID:-}" ]] && kill "$MENU_PID" 2>/dev/null
    kill "$E2E_WM" "$E2E_XVFB" 2>/dev/null || true
    wait 2>/dev/null || true
    unmount_images
    rm -rf "$E2E_WORK"
}

# The disc images mounted so far, unmounted by unmount_images (stop_display calls it).
E2E_MOUNTS=()

# mount_image IMAGE FOLDER [LOG]: mounts a disc image read-only at FOLDER (created if need be) in
# user space, as a desktop mounts an inserted disc: Rock Ridge names and modes, owner root. With LOG,
# the reader writes every request it serves there (appended, so the log can be emptied at any time).
mount_image() {
    mkdir -p "$2" || return 1
    if [[ -n "${3:-}" ]]; then
        fuseiso -n "$1" "$2" -d -o ro,kernel_cache >>"$3" 2>&1 &
    else
        fuseiso -n "$1" "$2" -o ro >>"$E2E_WORK/mount.log" 2>&1 || { echo "fuseiso cannot mount $1"; return 1; }
    fi
    E2E_MOUNTS+=("$2")
    wait_until 10 mountpoint -q "$2" || { echo "$1 did not appear at $2"; return 1; }
}

# expect_start_order SYSTEM PROGRAM LOG: a start of the disc's PROGRAM read, before its window showed
# (LOG, a reader's log emptied before the start), the files the disc tool lays the image out by
# (packaging/runtime/start-order.txt) for SYSTEM, in their order.
expect_start_order() {
    local number schemes=(Blue Red Purple Green) listed
    number="$(tr -cd '0-9' <<<"$2" | sed 's/^0*//')"
    listed="$(sed -n "/^\[$1\]\$/,/^\[/{/^[^[#]/p}" "$E2E_LIB/../../packaging/runtime/start-order.txt" |
        sed "s|{program}|$2|; s|{scheme}|${schemes[$((${number:-0} % 4))]}|")"
    expect_eq "files read before the window, in order (packaging/runtime/start-order.txt)" "$listed" \
        "$(awk -f "$E2E_LIB/../support/first-reads.awk" "$3")"
}

# unmount_image FOLDER: unmounts one image that mount_image mounted; a mount still in use is detached.
unmount_image() {
    if mountpoint -q "$1"; then
        fusermount -u "$1" 2>/dev/null || fusermount -u -z "$1" 2>/dev/null || echo "could not unmount $1"
    fi
    local kept=() m
    for m in "${E2E_MOUNTS[@]}"; do
        [[ "$m" == "$1" ]] || kept+=("$m")
    done
    E2E_MOUNTS=("${kept[@]}")
}

# unmount_images: unmounts every image mount_image mounted.
unmount_images() {
    local m
    for m in "${E2E_MOUNTS[@]}"; do
        unmount_image "$m"
    done
}

# shot NAME: saves a screenshot of the whole screen for a person to look at.
shot() {
    mkdir -p "$E2E_SHOTS/$E2E_JOURNEY"
    import -window root "$E2E_SHOTS/$E2E_JOURNEY/$1.png" 2>/dev/null || true
    E2E_LAST_SHOT="$E2E_SHOTS/$E2E_JOURNEY/$1.png"
}

# pixel X Y: the colour at screen position X,Y of the last shot, as "r,g,b".
pixel() {
    convert "$E2E_LAST_SHOT" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info: 2>/dev/null
}

# region_sum X Y W H: a checksum of a rectangle of the last shot.
region_sum() {
    convert "$E2E_LAST_SHOT" -crop "$3x$4+$1+$2" +repage rgb:- 2>/dev/null | md5sum | cut -c1-12
}

# The visible top-level windows titled exactly "Brindlemoor".
menu_windows() { xdotool search --onlyvisible --name '^Brindlemoor$' 2>/dev/null; }

# main_window: the visible 640x480 "Brindlemoor" window.
main_window() {
    local w
    for w in $(menu_windows); do
        if [[ "$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {print $2}')" == 640x480 ]]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# window_with_size WxH: the visible "Brindlemoor" window of that client size.
window_with_size() {
    local w
    for w in $(menu_windows); do
        if [[ "$(xdotool getwindowgeometry "$w" | awk '/Geometry/ {print $2}')" == "$1" ]]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# origin WINDOW: sets OX OY to the client area's top-left on the screen.
origin() {
    local info
    info="$(xwininfo -id "$1")"
    OX=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    OY=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
}

# expect_frame_centred WINDOW WHAT: the window's frame (its client area with the frame extents the
# window manager gives it) is centred on the screen within a pixel.
expect_frame_centred() {
    local info x y w h extents screen sw sh
    info="$(xwininfo -id "$1")"
    x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
    w=$(awk '/Width:/ {print $2}' <<<"$info")
    h=$(awk '/Height:/ {print $2}' <<<"$info")
    # left, right, top, bottom
    read -r -a extents <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)"
    if ((${#extents[@]} != 4)); then
        fail "$2: the window manager gave no frame extents"
        return 1
    fi
    screen="$(xwininfo -root)"
    sw=$(awk '/Width:/ {print $2}' <<<"$screen")
    sh=$(awk '/Height:/ {print $2}' <<<"$screen")
    local fx=$((x - extents[0])) fy=$((y - extents[2]))
    local fw=$((w + extents[0] + extents[1])) fh=$((h + extents[2] + extents[3]))
    # Twice the distance between the centres, to stay in whole numbers.
    local dx=$((2 * fx + fw - sw)) dy=$((2 * fy + fh - sh))
    if ((dx < -2 || dx > 2 || dy < -2 || dy > 2)); then
        fail "$2: frame ${fw}x${fh}+${fx}+${fy} is not centred on the ${sw}x${sh} screen"
        return 1
    fi
}

# start_menu PROGRAM: starts the program from its disc folder, sets MENU_PID.
start_menu() {
    (cd "$(dirname "$1")" && exec "$1") >>"$E2E_WORK/menu.log" 2>&1 &
    MENU_PID=$!
}

# point_at X Y: moves the real pointer to client position X,Y of the main window.
point_at() {
    xdotool mousemove $((OX + $1)) $((OY + $2))
    sleep 0.15
}

click_at() {
    point_at "$1" "$2"
    xdotool click 1
    sleep 0.3
}

double_click_at() {
    point_at "$1" "$2"
    xdotool click --repeat 2 --delay 80 1
    sleep 0.3
}

# opened_since N: the opener's records after the first N lines.
opened_count() { wc -l <"$E2E_OPEN_LOG"; }
opened_after() { tail -n +"$(($1 + 1))" "$E2E_OPEN_LOG"; }

# Page control's origin in the main window, and places on the main page.
PX=35
PY=97
SAMPLE_BUTTON="$((PX + 19 + 107)) $((PY + 32 + 40))"
ORDER_BUTTON="$((PX + 253 + 107)) $((PY + 32 + 40))"
TEMPLATE_BUTTON="$((PX + 19 + 107)) $((PY + 150 + 40))"
TOOLBOX_BUTTON="$((PX + 253 + 107)) $((PY + 150 + 40))"
BACKGROUND="12 12"
BACK_SPOT="$((PX + 336 + 60)) $((PY + 203 + 10))"
QUIT_SPOT="$((545 + 19)) $((275 + 27))"
LOGO_SPOT="$((268 + 53)) $((361 + 54))"

# The page area of the main window in the last shot.
page_sum() { region_sum $((OX + PX)) $((OY + PY)) 486 251; }
button_sum() { region_sum $((OX + PX + $1)) $((OY + PY + $2)) 214 81; }

# The y of row ROW of the extra-files list, while it shows its first rows.
template_row() { echo $((PY + 41 + 2 + 14 + 28 * $1)); }
