#!/usr/bin/env bash
# Journeys through the Windows program under Wine, on a real X server (Xvfb with openbox), driven
# with a real pointer (xdotool) and checked on screenshots, as the Linux journeys are. The program
# runs from the sample disc's image mounted read-only and given to the Wine prefix as drive D: of
# type CD-ROM. The programs Windows starts for the menu (installers, the browser, the word
# processor, the folder window) are a recording stand-in registered in the prefix, so that a start
# is seen where Windows makes it, not taken on trust.
# Usage: journeys.sh SAMPLE_DISC_IMAGE DISC_TOOL WINDOWS_BUILD SHOTS_FOLDER [LINUX_MAIN_SHOT] [JOURNEY...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../e2e/lib.sh"
source "$here/wine.sh"

sample_image="$1"
disc_tool="$2"
windows_build="$3"
E2E_SHOTS="$4"
linux_shot="${5:-}"
shift $(($# < 5 ? $# : 5))
rm -rf "$E2E_SHOTS"
mkdir -p "$E2E_SHOTS"
recorder="$windows_build/tests/brindle_recorder.exe"
for f in "$sample_image" "$disc_tool" "$recorder"; do
    [[ -f "$f" ]] || { echo "missing: $f"; exit 1; }
done

start_display
trap 'stop_wine; stop_display' EXIT
trap 'exit 130' INT TERM
start_wine
unset QT_QPA_PLATFORM

# The disc as pressed, but with installers that record their start.
sample="$E2E_WORK/sample"
mount_image "$sample_image" "$sample" || exit 1
pressing="$E2E_WORK/pressing"
cp -r "$sample" "$pressing" && chmod -R u+w "$pressing"
for setup in "$pressing"/Files/Sample/Setup.exe "$pressing"/Files/ToolBox/Tool*/Setup.exe; do
    cp "$recorder" "$setup"
done
image="$E2E_WORK/windows.iso"
"$disc_tool" image "$pressing" "$image" >/dev/null || { echo "could not master $image"; exit 1; }
pressed="$(md5sum <"$image")"
disc="$E2E_WORK/disc"
reads="$E2E_WORK/reads.log"
mount_image "$image" "$disc" "$reads" || exit 1
# AutoPlay starts the program autorun.inf's open= names, from the disc's root.
program_name="$(tr -d '\r"' <"$disc/autorun.inf" 2>/dev/null | sed -n 's/^open=//Ip' | head -n 1)"
[[ -f "$disc/$program_name" ]] || { echo "the sample disc's autorun.inf names no program on it: '$program_name'"; exit 1; }
disc_number="$(tr -cd '0-9' <<<"${program_name%.exe}" | sed 's/^0*//')"
disc_number="${disc_number:-0}"

# Drive D: is the mounted image, a CD-ROM drive as Windows sees it.
ln -s "$disc" "$WINEPREFIX/dosdevices/d:"
record_log="$E2E_WORK/recorded.log"
: >"$record_log"
export BRINDLE_RECORD_LOG="$(winepath -w "$record_log" 2>/dev/null)"
recorder_path="$(winepath -w "$recorder" 2>/dev/null)"
quoted_recorder="${recorder_path//\\/\\\\}"
cat >"$E2E_WORK/prefix.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]
"d:"="cdrom"

[HKEY_CLASSES_ROOT\\.html]
@="BrindleRecord"

[HKEY_CLASSES_ROOT\\.doc]
@="BrindleRecord"

[HKEY_CLASSES_ROOT\\.txt]
@="BrindleRecord"

[HKEY_CLASSES_ROOT\\BrindleRecord\\shell\\open\\command]
@="\\"$quoted_recorder\\" \\"%1\\""

[HKEY_CLASSES_ROOT\\Folder\\shell\\open\\command]
@="\\"$quoted_recorder\\" \\"%1\\""

[HKEY_CLASSES_ROOT\\Directory\\shell\\open\\command]
@="\\"$quoted_recorder\\" \\"%1\\""
REG
wine regedit /S "$(winepath -w "$E2E_WORK/prefix.reg")" >/dev/null 2>&1
wineserver -w
drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/BrindlePC/CD-ROM$disc_number"
settings="$drive_c/windows/BrindlePC.Ini"

recorded_count() { wc -l <"$record_log"; }
# recorded_after N: the records after the first N, without Windows' line ends: "folder|command line".
recorded_after() { tail -n +"$(($1 + 1))" "$record_log" | tr -d '\r' | cut -d'|' -f2-; }
# recorded_programs_after N: the programs Windows started, after the first N records.
recorded_programs_after() { tail -n +"$(($1 + 1))" "$record_log" | tr -d '\r' | cut -d'|' -f1; }
wait_recorded() { wait_until 10 bash -c "[[ \$(wc -l < '$record_log') -gt $1 ]]"; }

# open_menu: starts D:\CDnn.exe from D:\ as AutoPlay does, and waits for its window; sets W, OX, OY.
open_menu() {
    (cd "$disc" && exec wine "D:\\$program_name") >>"$E2E_WORK/menu.log" 2>&1 &
    MENU_PID=$!
    if ! wait_until 60 main_window; then
        fail "the menu window did not appear (log: $(tail -n 3 "$E2E_WORK/menu.log" | tr '\n' ' '))"
        return 1
    fi
    W="$(main_window)"
    origin "$W"
    sleep 1
}

close_menu() {
    click_at $QUIT_SPOT
    wait_until 15 bash -c "! kill -0 $MENU_PID" || kill "$MENU_PID" 2>/dev/null
    wait "$MENU_PID" 2>/dev/null
    wait_until 5 bash -c '! xdotool search --onlyvisible --name "^Brindlemoor$"'
}

journey_start() {
    # Wine's drive settings make D: a CD-ROM drive (type 5) for the programs in the prefix.
    expect_eq "type of drive D:" 5 "$(wine wmic logicaldisk get name,drivetype 2>/dev/null | iconv -f UTF-16LE |
        tr -d '\r' | awk '$2 == "D:" {print $1}')"
    # The first start from the disc: what it reads is what the image lays out first.
    : >"$reads"
    open_menu || return
    expect_start_order windows "$program_name" "$reads"
    point_at $BACKGROUND
    shot start
    expect_eq "visible windows titled Brindlemoor" 1 "$(menu_windows | wc -l)"
    expect_eq "client area" 640x480 "$(xdotool getwindowgeometry "$W" | awk '/Geometry/ {print $2}')"
    local colours=("148,165,222" "222,0,41" "99,8,123" "0,181,57")
    local want="${colours[$((disc_number % 4))]}"
    local seen
    seen="$(convert "$E2E_LAST_SHOT" -crop "84x18+$((OX + 523))+$((OY + 135))" +repage txt:- | grep -c "($want)")"
    [[ "$seen" -gt 0 ]] || fail "disc label colour ($want) at the label's place: not found"
    convert "$E2E_LAST_SHOT" -crop "640x480+$OX+$OY" +repage "$E2E_SHOTS/start/main-page.png"
    if [[ -f "$linux_shot" ]]; then
        local differing
        differing="$(compare -metric AE "$linux_shot" "$E2E_SHOTS/start/main-page.png" \
            "$E2E_SHOTS/start/against-linux.png" 2>&1 >/dev/null)"
        log "pixels that differ from the Linux program's main page: ${differing:-?} of 307200"
    fi
    close_menu
}

journey_pages() {
    open_menu || return
    point_at $BACKGROUND
    shot main
    local main name spot
    main="$(page_sum)"
    for name in sampleware extra-files toolbox; do
        case $name in
            sampleware) spot=$SAMPLE_BUTTON ;;
            extra-files) spot=$TEMPLATE_BUTTON ;;
            toolbox) spot=$TOOLBOX_BUTTON ;;
        esac
        click_at $spot
        point_at $BACKGROUND
        sleep 0.3
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
    n=$(recorded_count)
    click_at $ORDER_BUTTON
    wait_recorded "$n" || fail "the order form did not open"
    expect_eq "order form opened" '"D:\Files\Web Files\Order.html"' "$(recorded_after "$n" | sed 's/^[^|]*|//')"

    click_at $TOOLBOX_BUTTON
    local tool x y
    for tool in 1 2 3 4; do
        case $tool in
            1) x=35 y=41 ;;
            2) x=35 y=97 ;;
            3) x=253 y=41 ;;
            4) x=253 y=97 ;;
        esac
        n=$(recorded_count)
        click_at $((PX + x + 23)) $((PY + y + 22))
        wait_recorded "$n" || fail "installer $tool did not start"
        expect_eq "installer $tool (working folder|command line)" "D:\\Files\\ToolBox\\Tool$tool|" \
            "$(recorded_after "$n")"
        expect_eq "installer $tool started" "D:\\Files\\ToolBox\\Tool$tool\\Setup.exe" "$(recorded_programs_after "$n")"
    done
    click_at $BACK_SPOT

    click_at $SAMPLE_BUTTON
    n=$(recorded_count)
    click_at $((PX + 253 + 22)) $((PY + 130 + 22))
    wait_recorded "$n" || fail "the sample program's installer did not start"
    expect_eq "sample installer (working folder|command line)" "D:\\Files\\Sample|" "$(recorded_after "$n")"
    expect_eq "sample installer started" "D:\\Files\\Sample\\Setup.exe" "$(recorded_programs_after "$n")"
    click_at $BACK_SPOT
    close_menu
}

# copy_from_list ROW: double-clicks a template and answers the copy dialog with "Copy the document".
copy_from_list() {
    double_click_at $((PX + 254 + 60)) "$(template_row "$1")"
    if ! wait_until 15 window_with_size 397x247; then
        fail "the copy dialog did not open for ${templates[$1]}"
        return 1
    fi
    local dialog
    dialog="$(window_with_size 397x247)"
    shot "copy-dialog-$1"
    origin "$dialog"
    xdotool mousemove $((OX + 3 + 205 + 80)) $((OY + 2 + 194 + 15)) click 1
    origin "$W"
    wait_until 15 bash -c "! xdotool search --onlyvisible --name '^Brindlemoor$' | xargs -r -n1 xdotool getwindowgeometry | grep -q 397x247" ||
        fail "the copy dialog stayed open after Copy the document for ${templates[$1]}"
}

# A template delivered from the read-only disc into C:\BrindlePC\CD-ROMnn: every copy writable, the
# folder opened and remembered, a copy already there kept, and the remembered copy found next time.
journey_template() {
    local templates
    mapfile -t templates < <(ls "$disc/Files/Templates" | LC_ALL=C sort -f)
    open_menu || return
    click_at $TEMPLATE_BUTTON
    local n t
    n=$(recorded_count)
    copy_from_list 0 || return
    for t in "${templates[@]}"; do
        [[ -f "$folder/$t" ]] || fail "the template $t was not copied to C:\\BrindlePC\\CD-ROM$disc_number"
    done
    ls "$folder/Images"/*.gif >/dev/null 2>&1 || fail "no pictures copied"
    ls "$folder/Sounds"/*.wav >/dev/null 2>&1 || fail "no sounds copied"
    expect_eq "copies that stayed read-only" "" "$(find "$folder" -type f ! -perm -u=w -printf '%P ')"
    wait_recorded "$n" || fail "the copy's folder was not opened"
    expect_eq "folder opened" "\"C:\\BrindlePC\\CD-ROM$disc_number\\\"" "$(recorded_after "$n" | tail -n 1 | sed 's/^[^|]*|//')"
    grep -qixF "${templates[0]}=C:\\BrindlePC\\CD-ROM$disc_number\\" <(tr -d '\r' <"$settings") ||
        fail "the settings file does not name the copy: $(tr '\r\n' '  ' <"$settings")"

    # A companion the user has edited is kept.
    printf 'my own notes\r\n' >>"$folder/${templates[1]}"
    copy_from_list 1 || return
    [[ "$(tail -n 1 "$folder/${templates[1]}" | tr -d '\r')" == "my own notes" ]] || fail "the edit of ${templates[1]} was lost"

    # The remembered copy is found without the dialog, and its folder opens again.
    n=$(recorded_count)
    double_click_at $((PX + 254 + 60)) "$(template_row 0)"
    sleep 2
    window_with_size 397x247 >/dev/null && fail "the copy dialog opened for a template already delivered"
    wait_recorded "$n" || fail "the remembered copy's folder was not opened"
    expect_eq "folder opened for the remembered copy" "\"C:\\BrindlePC\\CD-ROM$disc_number\\\"" \
        "$(recorded_after "$n" | tail -n 1 | sed 's/^[^|]*|//')"
    shot delivered-again
    close_menu
}

journey_second_start() {
    open_menu || return
    click_at $TOOLBOX_BUTTON
    point_at $BACKGROUND
    shot before
    local before first=$MENU_PID
    before="$(page_sum)"
    (cd "$disc" && exec wine "D:\\$program_name") >>"$E2E_WORK/menu.log" 2>&1 &
    local second=$!
    wait_until 30 bash -c "! kill -0 $second" || fail "the second start did not end"
    wait "$second"
    expect_eq "second start's exit status" 0 "$?"
    expect_eq "windows after the second start" 1 "$(menu_windows | wc -l)"

    xdotool windowminimize "$W"
    wait_until 5 bash -c "xwininfo -id $W | grep -q IsUnMapped" || fail "the menu did not minimise"
    (cd "$disc" && exec wine "D:\\$program_name") >>"$E2E_WORK/menu.log" 2>&1 &
    second=$!
    wait_until 30 bash -c "! kill -0 $second" || fail "the second start did not end while minimised"
    wait_until 10 bash -c "xwininfo -id $W | grep -q IsViewable" || fail "the minimised menu was not restored"
    sleep 0.5
    origin "$W"
    point_at $BACKGROUND
    shot restored
    expect_eq "page after restoring" "$before" "$(page_sum)"
    MENU_PID=$first
    close_menu
}

journey_credits() {
    open_menu || return
    click_at $LOGO_SPOT
    if ! wait_until 15 window_with_size 462x439; then
        fail "the credits window did not open"
        close_menu
        return
    fi
    local credits a cx cy
    credits="$(window_with_size 462x439)"
    origin "$credits"
    cx=$OX cy=$OY
    origin "$W"
    sleep 1
    shot credits-1
    a="$(region_sum $((cx + 156)) $((cy + 315)) 297 118)"
    sleep 1
    shot credits-2
    [[ "$a" != "$(region_sum $((cx + 156)) $((cy + 315)) 297 118)" ]] || fail "the credits did not scroll"
    xdotool mousemove $((cx + 40)) $((cy + 40)) click 1
    wait_until 5 bash -c "! xdotool search --onlyvisible --name '^Brindlemoor$' | xargs -r -n1 xdotool getwindowgeometry | grep -q 462x439" ||
        fail "a click did not close the credits"
    close_menu
}

journeys=("$@")
if ((${#journeys[@]} == 0)); then
    journeys=(start pages openers template second_start credits)
fi
for j in "${journeys[@]}"; do
    E2E_JOURNEY="$j"
    before=$E2E_FAILURES
    echo "journey: $j"
    "journey_$j"
    ((E2E_FAILURES == before)) && echo "    ok"
done

unmount_image "$disc"
expect_eq "the image after the journeys" "$pressed" "$(md5sum <"$image")"
echo "screenshots: $E2E_SHOTS"
if ((E2E_FAILURES > 0)); then
    echo "Windows journeys: $E2E_FAILURES failed expectation(s)"
    exit 1
fi
echo "Windows journeys: all ${#journeys[@]} journeys passed"
