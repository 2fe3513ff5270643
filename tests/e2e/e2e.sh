#!/usr/bin/env bash
# End-to-end journeys through the real menu on a real X server (Xvfb with openbox), driven with a
# real pointer and keyboard (xdotool) and checked on screenshots.
# The menu runs from the sample disc's image mounted read-only, as from a pressed disc.
# Usage: e2e.sh SAMPLE_DISC_IMAGE SHOTS_FOLDER [JOURNEY...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"

sample_image="$1"
E2E_SHOTS="$2"
shift 2
rm -rf "$E2E_SHOTS"
mkdir -p "$E2E_SHOTS"
[[ -f "$sample_image" ]] || { echo "no sample disc image $sample_image"; exit 1; }

start_display
trap stop_display EXIT
trap 'exit 130' INT TERM

disc="$E2E_WORK/disc"
mount_image "$sample_image" "$disc" || exit 1
program="$(find "$disc" -maxdepth 1 -type f -name 'CD*' ! -name '*.exe' | head -n 1)"
[[ -n "$program" ]] || { echo "no program on the sample disc image $sample_image"; exit 1; }
[[ -x "$program" ]] || { echo "the program on the mounted image is not executable: $(stat -c %A "$program")"; exit 1; }
disc_number="$(basename "$program" | tr -cd '0-9' | sed 's/^0*//')"
disc_number="${disc_number:-0}"

# open_menu: starts the menu and waits for its window; sets W, OX, OY.
open_menu() {
    start_menu "$program"
    if ! wait_until 30 main_window; then
        fail "the menu window did not appear (log: $(tail -n 3 "$E2E_WORK/menu.log" | tr '\n' ' '))"
        return 1
    fi
    W="$(main_window)"
    origin "$W"
    sleep 1
}

close_menu() {
    kill "$MENU_PID" 2>/dev/null
    wait "$MENU_PID" 2>/dev/null
    wait_until 5 bash -c '! xdotool search --onlyvisible --name "^Brindlemoor$"'
}

journey_start() {
    # The disc as pressed: the folder's files, read-only, root's, only the programs (for Linux, and for
    # Windows where the disc carries it) and autorun.sh executable.
    diff -rq "$(dirname "$sample_image")/sample-disc" "$disc" >/dev/null || fail "the mounted image differs from its folder"
    expect_eq "writable or not root's on the disc" "" "$(find "$disc" \( -perm /222 -o ! -uid 0 -o ! -gid 0 \) -printf '%P ')"
    local programs
    programs="$(basename "$program")"
    [[ -f "$program.exe" ]] && programs+=" $(basename "$program").exe"
    expect_eq "executable files on the disc" "$programs autorun.sh" \
        "$(find "$disc" -type f -perm /111 -printf '%P\n' | LC_ALL=C sort | paste -sd ' ')"
    expect_eq "volume label" "BRINDLE$(printf %02d "$disc_number")" "$(blkid -p -s LABEL -o value "$sample_image")"
    open_menu || return
    point_at $BACKGROUND
    shot start
    # The main page as drawn here, which the Windows journeys compare theirs with.
    convert "$E2E_LAST_SHOT" -crop "640x480+$OX+$OY" +repage "$E2E_SHOTS/start/main-page.png"
    expect_eq "visible windows titled Brindlemoor" 1 "$(menu_windows | wc -l)"
    expect_eq "client area" 640x480 "$(xdotool getwindowgeometry "$W" | awk '/Geometry/ {print $2}')"
    expect_frame_centred "$W" "the menu window"
    local colours=("148,165,222" "222,0,41" "99,8,123" "0,181,57")
    local want="${colours[$((disc_number % 4))]}"
    local seen
    seen="$(convert "$E2E_LAST_SHOT" -crop "84x18+$((OX + 523))+$((OY + 135))" +repage txt:- | grep -c "($want)")"
    [[ "$seen" -gt 0 ]] || fail "disc label colour ($want) at the label's place: not found"
    close_menu
}

journey_second_start() {
    open_menu || return
    click_at $TOOLBOX_BUTTON
    point_at $BACKGROUND
    shot before
    local before first=$MENU_PID
    before="$(page_sum)"
    start_menu "$program"
    local second=$MENU_PID
    wait_until 15 bash -c "! kill -0 $second" || fail "the second start did not end"
    wait "$second"
    expect_eq "second start's exit status" 0 "$?"
    expect_eq "windows after the second start" 1 "$(menu_windows | wc -l)"

    xdotool windowminimize "$W"
    wait_until 5 bash -c "xwininfo -id $W | grep -q IsUnMapped" || fail "the menu did not minimise"
    start_menu "$program"
    second=$MENU_PID
    wait_until 15 bash -c "! kill -0 $second" || fail "the second start did not end while minimised"
    wait_until 5 bash -c "xwininfo -id $W | grep -q IsViewable" || fail "the minimised menu was not restored"
    sleep 0.5
    origin "$W"
    point_at $BACKGROUND
    shot restored
    expect_eq "page after restoring" "$before" "$(page_sum)"
    MENU_PID=$first
    close_menu
}

journey_hover() {
    open_menu || return
    point_at $BACKGROUND
    shot rest
    local rest
    rest="$(button_sum 253 150)"
    point_at $TOOLBOX_BUTTON
    local a changed=0 i
    for i in 1 2 3 4 5 6; do
        sleep 0.3
        shot "playing-$i"
        a="$(button_sum 253 150)"
        [[ "$a" != "$rest" ]] && changed=1
    done
    ((changed)) || fail "hovering the toolbox button: its picture did not change in 2 seconds"
    point_at $BACKGROUND
    sleep 0.3
    shot stopped-1
    a="$(button_sum 253 150)"
    sleep 0.4
    shot stopped-2
    expect_eq "button after the pointer left onto the background" "$a" "$(button_sum 253 150)"
    expect_eq "button's rest frame" "$rest" "$a"

    # Quit lights up under the pointer and goes out as soon as the pointer moves straight on to
    # the credits badge, without crossing the backdrop.
    local unlit
    unlit="$(region_sum $((OX + 545)) $((OY + 276)) 39 55)"
    point_at $QUIT_SPOT
    shot quit-lit
    [[ "$(region_sum $((OX + 545)) $((OY + 276)) 39 55)" != "$unlit" ]] || fail "Quit did not light up"
    point_at $LOGO_SPOT
    shot quit-left-for-the-badge
    expect_eq "Quit once the pointer is on the badge" "$unlit" "$(region_sum $((OX + 545)) $((OY + 276)) 39 55)"
    close_menu
}

journey_pages() {
    open_menu || return
    point_at $BACKGROUND
    shot main
    local main
    main="$(page_sum)"
    local name spot
    for name in sampleware extra-files toolbox; do
        case $name in
            sampleware) spot=$SAMPLE_BUTTON ;;
            extra-files) spot=$TEMPLATE_BUTTON ;;
            toolbox) spot=$TOOLBOX_BUTTON ;;
        esac
        click_at $spot
        shot "$name"
        [[ "$(page_sum)" != "$main" ]] || fail "the $name button did not change the page"
        click_at $BACK_SPOT
        point_at $BACKGROUND
        sleep 0.3
        shot "$name-back"
        expect_eq "main page after leaving $name" "$main" "$(page_sum)"
    done
    close_menu
}

journey_openers() {
    open_menu || return
    local n
    n=$(opened_count)
    click_at $ORDER_BUTTON
    wait_until 5 bash -c "[[ \$(wc -l < $E2E_OPEN_LOG) -gt $n ]]"
    expect_eq "order form opened" "|$disc/Files/Web Files/Order.html" "$(opened_after "$n" | sed 's/^[^|]*//')"

    click_at $TOOLBOX_BUTTON
    local tool x y
    for tool in 1 2 3 4; do
        case $tool in
            1) x=35 y=41 ;;
            2) x=35 y=97 ;;
            3) x=253 y=41 ;;
            4) x=253 y=97 ;;
        esac
        n=$(opened_count)
        click_at $((PX + x + 23)) $((PY + y + 22))
        wait_until 5 bash -c "[[ \$(wc -l < $E2E_OPEN_LOG) -gt $n ]]"
        expect_eq "installer $tool" "$disc/Files/ToolBox/Tool$tool|$disc/Files/ToolBox/Tool$tool/Setup.exe" \
            "$(opened_after "$n")"
    done
    click_at $BACK_SPOT

    click_at $SAMPLE_BUTTON
    n=$(opened_count)
    click_at $((PX + 253 + 22)) $((PY + 130 + 22))
    wait_until 5 bash -c "[[ \$(wc -l < $E2E_OPEN_LOG) -gt $n ]]"
    expect_eq "sample installer" "$disc/Files/Sample|$disc/Files/Sample/Setup.exe" "$(opened_after "$n")"
    click_at $BACK_SPOT

    click_at $TEMPLATE_BUTTON
    n=$(opened_count)
    click_at $((PX + 30 + 70)) $((PY + 204 + 9))
    wait_until 5 bash -c "[[ \$(wc -l < $E2E_OPEN_LOG) -gt $n ]]"
    expect_eq "help page" "|$disc/Files/Web Files/Help.html" "$(opened_after "$n" | sed 's/^[^|]*//')"
    close_menu
}


# copy_from_list ROW: double-clicks a template and answers the copy dialog with "Copy the document";
# fails when the dialog does not open or stays open (as it does behind an error box).
copy_from_list() {
    local n
    n=$(opened_count)
    double_click_at $((PX + 254 + 60)) "$(template_row "$1")"
    if ! wait_until 10 window_with_size 397x247; then
        fail "the copy dialog did not open for ${templates[$1]}"
        return 1
    fi
    local dialog
    dialog="$(window_with_size 397x247)"
    sleep 0.5
    shot "copy-dialog-$1"
    expect_frame_centred "$dialog" "the copy dialog for ${templates[$1]}"
    origin "$dialog"
    xdotool mousemove $((OX + 3 + 205 + 80)) $((OY + 2 + 194 + 15)) click 1
    origin "$W"
    if ! wait_until 10 bash -c "! xdotool search --onlyvisible --name '^Brindlemoor$' | xargs -r -n1 xdotool getwindowgeometry | grep -q 397x247"; then
        fail "the copy dialog stayed open after Copy the document for ${templates[$1]}"
        return 1
    fi
    expect_eq "windows after copying ${templates[$1]} (no error box)" 1 "$(menu_windows | wc -l)"
    wait_until 5 bash -c "[[ \$(wc -l < $E2E_OPEN_LOG) -gt $n ]]"
    expect_eq "folder opened for ${templates[$1]}" "$folder/" "$(opened_after "$n" | tail -n 1 | sed 's/^[^|]*|//')"
}

# remembered NAME: whether the settings file records the copy folder for the template.
remembered() { grep -qxF "$1=$folder/" "$XDG_CONFIG_HOME/BrindlePC.Ini" 2>/dev/null; }

# Templates delivered from a read-only disc image that also carries a template whose name the settings
# file cannot hold: the first delivery, companions opened from the list (one left read-only, one
# edited), that template, and the image untouched afterwards.
journey_template() {
    local pressing="$E2E_WORK/pressing" image="$E2E_WORK/delivery.iso" own="$E2E_WORK/delivery-disc"
    cp -r "$disc" "$pressing" && chmod -R u+w "$pressing"
    printf '{\\rtf1 A to Z planner}\n' >"$pressing/Files/Templates/A=Z Planner.doc"
    "$E2E_DISC_TOOL" image "$pressing" "$image" >/dev/null || { fail "could not master $image"; return; }
    local pressed
    pressed="$(md5sum <"$image")"
    mount_image "$image" "$own" || { fail "could not mount $image"; return; }
    local program="$own/$(basename "$program")"
    local templates
    mapfile -t templates < <(ls "$own/Files/Templates" | LC_ALL=C sort -f)
    expect_eq "the list's first template" "A=Z Planner.doc" "${templates[0]}"
    local folder="$HOME/BrindlePC/CD-ROM$disc_number"

    open_menu || return
    click_at $TEMPLATE_BUTTON
    copy_from_list 1
    local t
    for t in "${templates[@]}"; do
        [[ -f "$folder/$t" ]] || fail "the template $t was not copied to $folder"
    done
    ls "$folder/Images"/*.gif >/dev/null 2>&1 || fail "no pictures copied"
    ls "$folder/Sounds"/*.wav >/dev/null 2>&1 || fail "no sounds copied"
    local locked
    locked="$(find "$folder" -type f ! -perm -u=w -printf '%P ')"
    expect_eq "copies without their write permission" "" "$locked"
    remembered "${templates[1]}" || fail "settings entry for ${templates[1]}: saw '$(tr '\n' ' ' <"$XDG_CONFIG_HOME/BrindlePC.Ini")'"

    # A companion left read-only, as copies were before, opens from the list and becomes writable.
    chmod a-w "$folder/${templates[2]}"
    copy_from_list 2
    [[ -w "$folder/${templates[2]}" && "$(stat -c %A "$folder/${templates[2]}")" == -rw* ]] \
        || fail "${templates[2]} is still read-only: $(stat -c %A "$folder/${templates[2]}")"
    cmp -s "$folder/${templates[2]}" "$own/Files/Templates/${templates[2]}" || fail "${templates[2]} changed"
    remembered "${templates[2]}" || fail "no settings entry for ${templates[2]}"

    # A companion the user has edited keeps the edit.
    printf 'my own notes\n' >>"$folder/${templates[3]}"
    copy_from_list 3
    [[ "$(tail -n 1 "$folder/${templates[3]}")" == "my own notes" ]] || fail "the edit of ${templates[3]} was lost"
    remembered "${templates[3]}" || fail "no settings entry for ${templates[3]}"

    # A name the settings file cannot hold is delivered and opened without being remembered.
    local settings
    settings="$(md5sum <"$XDG_CONFIG_HOME/BrindlePC.Ini")"
    copy_from_list 0
    expect_eq "settings file after ${templates[0]}" "$settings" "$(md5sum <"$XDG_CONFIG_HOME/BrindlePC.Ini")"
    for t in 1 2 3; do
        remembered "${templates[$t]}" || fail "the entry for ${templates[$t]} no longer reads back"
    done

    # Remembered copies open without the dialog.
    local n
    n=$(opened_count)
    double_click_at $((PX + 254 + 60)) "$(template_row 1)"
    sleep 1.5
    window_with_size 397x247 >/dev/null && fail "the copy dialog opened for a template already delivered"
    wait_until 5 bash -c "[[ \$(wc -l < $E2E_OPEN_LOG) -gt $n ]]" || fail "the second delivery did not open the folder"
    shot delivered-again
    close_menu
    unmount_image "$own"
    expect_eq "the image after the journey" "$pressed" "$(md5sum <"$image")"
}

# open_credits SHOWING: clicks the logo and waits for the credits window; sets CREDITS, CX, CY.
open_credits() {
    click_at $LOGO_SPOT
    if ! wait_until 10 window_with_size 462x439; then
        fail "the credits window did not open ($1 showing)"
        return 1
    fi
    CREDITS="$(window_with_size 462x439)"
    sleep 0.5
    origin "$CREDITS"
    CX=$OX CY=$OY
    origin "$W"
    expect_frame_centred "$CREDITS" "the credits window on its $1 showing"
    return 0
}

# close_credits: a click on the artwork closes the credits window.
close_credits() {
    xdotool mousemove $((CX + 40)) $((CY + 40)) click 1
    wait_until 5 bash -c "! xdotool search --onlyvisible --name '^Brindlemoor$' | xargs -r -n1 xdotool getwindowgeometry | grep -q 462x439" \
        || fail "a click did not close the credits"
}

credits_sum() { region_sum $((CX + 156)) $((CY + 315)) 297 118; }

journey_credits() {
    open_menu || return
    open_credits first || { close_menu; return; }
    # The menu's own window: owned by the main window, with the program's icon, no task-bar entry.
    expect_eq "credits owned by" "$(printf '0x%x' "$W")" \
        "$(xprop -id "$CREDITS" WM_TRANSIENT_FOR | sed -n 's/.*window id # //p')"
    xprop -id "$CREDITS" _NET_WM_WINDOW_TYPE _NET_WM_STATE | grep -qE '_NET_WM_WINDOW_TYPE_DIALOG|_NET_WM_STATE_SKIP_TASKBAR' \
        || fail "the credits window may have a task-bar entry: $(xprop -id "$CREDITS" _NET_WM_WINDOW_TYPE _NET_WM_STATE | tr '\n' ' ')"
    xprop -id "$W" _NET_WM_ICON | grep -q 'Icon (' || fail "the menu window has no icon"
    expect_eq "the credits window's icon (the menu window's)" "$(xprop -id "$W" _NET_WM_ICON | md5sum)" \
        "$(xprop -id "$CREDITS" _NET_WM_ICON | md5sum)"
    sleep 0.5
    shot credits-1
    local a
    a="$(credits_sum)"
    sleep 1
    shot credits-2
    [[ "$a" != "$(credits_sum)" ]] || fail "the credits did not scroll"
    close_credits
    open_credits second || { close_menu; return; }
    shot credits-again
    close_credits
    close_menu
}

journey_quit() {
    open_menu || return
    click_at $QUIT_SPOT
    if ! wait_until 10 bash -c "! kill -0 $MENU_PID"; then
        fail "Quit did not end the program"
        close_menu
        return
    fi
    wait "$MENU_PID"
    expect_eq "exit status after Quit" 0 "$?"

    open_menu || return
    xdotool windowactivate --sync "$W" 2>/dev/null
    xdotool key --window "$W" alt+F4 2>/dev/null
    if ! wait_until 10 bash -c "! kill -0 $MENU_PID"; then
        fail "the caption's close button did not end the program"
        close_menu
        return
    fi
    wait "$MENU_PID"
    expect_eq "exit status after closing the window" 0 "$?"
}

# A disc whose installer folder holds a Linux installer beside Setup.exe: the Linux menu starts the
# Linux one itself, from its folder on the read-only image.
journey_linux_installer() {
    local pressing="$E2E_WORK/installers" image="$E2E_WORK/installers.iso" own="$E2E_WORK/installers-disc"
    cp -r "$disc" "$pressing" && chmod -R u+w "$pressing"
    printf '#!/bin/sh\nprintf "%%s|%%s\\n" "$PWD" "$0" >> "$E2E_OPEN_LOG"\n' >"$pressing/Files/ToolBox/Tool2/setup.sh"
    "$E2E_DISC_TOOL" image "$pressing" "$image" >/dev/null || { fail "could not master $image"; return; }
    mount_image "$image" "$own" || { fail "could not mount $image"; return; }
    local program="$own/$(basename "$program")"
    open_menu || return
    click_at $TOOLBOX_BUTTON
    local n
    n=$(opened_count)
    click_at $((PX + 35 + 23)) $((PY + 97 + 22))
    wait_until 5 bash -c "[[ \$(wc -l < $E2E_OPEN_LOG) -gt $n ]]"
    expect_eq "the Linux installer, started from its folder" \
        "$own/Files/ToolBox/Tool2|$own/Files/ToolBox/Tool2/setup.sh" "$(opened_after "$n")"
    close_menu
    unmount_image "$own"
}

journeys=("$@")
if ((${#journeys[@]} == 0)); then
    journeys=(start second_start hover pages openers linux_installer template credits quit)
fi
for j in "${journeys[@]}"; do
    E2E_JOURNEY="$j"
    before=$E2E_FAILURES
    echo "journey: $j"
    "journey_$j"
    if ((E2E_FAILURES == before)); then
        echo "    ok"
    fi
done

passed=$(( ${#journeys[@]} ))
echo "screenshots: $E2E_SHOTS"
if ((E2E_FAILURES > 0)); then
    echo "end-to-end: $E2E_FAILURES failed expectation(s)"
    exit 1
fi
echo "end-to-end: all ${passed} journeys passed"
