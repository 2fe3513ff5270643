#!/bin/bash
# Installs the build into a scratch root and builds the .deb, then checks what a machine would
# get: both programs runnable, a sample disc with its own copy of the menu that the disc tool
# accepts, a desktop entry starting that copy, and the program's icon in the icon theme. From a
# build with the Windows program, the sample disc carries it too, and a publisher makes a disc for
# both systems from the installed programs.
# usage: install.sh <build folder> <the disc's program>
set -u
build=$1
disc_program=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# check_tree <staging root> <prefix>: the installed files under <staging root><prefix>.
check_tree() {
    local root=$1 prefix=$2
    local base=$root$prefix
    local disc=$base/share/brindlemoor/sample-disc
    local entry=$base/share/applications/brindlemoor-sample-disc.desktop
    local icon=$base/share/icons/hicolor/32x32/apps/brindlemoor.png
    local copyright=$base/share/doc/brindlemoor/copyright

    for program in "$base/bin/brindlemoor" "$base/bin/brindle-disc" "$disc/CD07"; do
        [ -f "$program" ] && [ ! -L "$program" ] || fail "$program is not a regular file"
        [ -x "$program" ] || fail "$program is not executable"
    done
    cmp -s "$disc/CD07" "$disc_program" || fail "the disc's program is not the disc's build of the menu"
    readelf -d "$base/bin/brindlemoor" | grep -q 'R[UN]*PATH' && fail "the installed menu looks for Qt off the system"
    [ "$(stat -c %i "$disc/CD07")" != "$(stat -c %i "$base/bin/brindlemoor")" ] ||
        fail "the disc's program shares its file with the installed menu"
    [ -d "$disc/Files" ] || fail "the sample disc has no Files folder"
    diff <(cd "$build/sample-disc" && find . | sort) <(cd "$disc" && find . | sort) >/dev/null ||
        fail "the installed sample disc does not hold the files of the mastered one"
    QT_QPA_PLATFORM=offscreen "$base/bin/brindle-disc" check "$disc" >"$scratch/check.log" 2>&1 ||
        fail "the installed disc tool rejects the installed sample disc: $(cat "$scratch/check.log")"
    if [ -f "$build/sample-disc/CD07.exe" ]; then
        cmp -s "$disc/CD07.exe" "$build/windows-build/disc-program/brindlemoor.exe" ||
            fail "the installed sample disc lacks the Windows program"
        # A publisher's disc 12 for both systems, from the installed programs and the sample disc's pictures.
        local made
        made=$(mktemp -d -p "$scratch")/CD12
        QT_QPA_PLATFORM=offscreen "$base/bin/brindle-disc" make "$made" --name CD12 --art "$disc" \
            --program "$disc/CD07" --windows-program "$disc/CD07.exe" >"$scratch/make.log" 2>&1 &&
            QT_QPA_PLATFORM=offscreen "$base/bin/brindle-disc" check "$made" >"$scratch/check.log" 2>&1 ||
            fail "the installed programs make no disc for both systems: $(cat "$scratch/make.log" "$scratch/check.log")"
    fi

    # Debian's machine-readable copyright file, naming the licences of the package and of what its
    # sample disc bundles, which travel on the disc with Qt's source.
    [ "$(head -n 1 "$copyright" 2>/dev/null)" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
        fail "no machine-readable copyright file"
    for licence in MIT GPL-2.0-or-later LGPL-3; do
        grep -qx "License: $licence" "$copyright" || fail "the copyright file does not give the $licence licence"
    done
    for file in licences/README.txt licences/LGPL-3.txt source/disc-qt.patch; do
        [ -f "$disc/Runtime/$file" ] || fail "the sample disc lacks Runtime/$file"
    done

    [ -f "$entry" ] || fail "no desktop entry"
    for line in "Type=Application" "Name=Brindlemoor sample disc" "Icon=brindlemoor" "Categories=Education;"; do
        grep -qxF "$line" "$entry" || fail "the desktop entry lacks $line"
    done
    grep -q '^Comment=.' "$entry" || fail "the desktop entry has no comment"
    local exec
    exec=$(sed -n 's/^Exec=//p' "$entry")
    [ "$exec" = "\"$prefix/share/brindlemoor/sample-disc/CD07\"" ] ||
        fail "the desktop entry starts $exec, not the installed disc's program"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
    fi

    [ -f "$icon" ] || fail "no icon in the icon theme"
    # PNG signature, then the header chunk's width and height.
    [ "$(od -An -tx1 -N8 "$icon" | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "the icon is not a PNG"
    [ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')" = "0000002000000020" ] || fail "the icon is not 32 by 32"
}

# cmake --install with a prefix other than the configured one: the entry follows it.
DESTDIR=$scratch/root cmake --install "$build" --prefix /opt/brindle >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; fail "cmake --install failed"; }
check_tree "$scratch/root" /opt/brindle

# The .deb.
cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(ls "$scratch"/package/brindlemoor_*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
    fail "cpack wrote no brindlemoor .deb"
else
    info=$(dpkg-deb --info "$deb")
    echo "$info" | grep -qx ' Package: brindlemoor' || fail "the package is not named brindlemoor"
    echo "$info" | grep -q '^ Maintainer: .' || fail "the package has no maintainer"
    echo "$info" | grep -q '^ Description: .' || fail "the package has no description"
    depends=$(echo "$info" | sed -n 's/^ Depends: //p')
    for package in libqt6widgets6 libqt6gui6 libqt6dbus6 libwayland-client0 libisofs6 fonts-liberation2 xdg-utils; do
        echo ", $depends," | grep -qE "[ ,]$package[ ,(]" || fail "the package does not depend on $package"
    done
    echo "$info" | grep -q '^ Recommends: .*adwaita-icon-theme' || fail "the package does not recommend an icon theme"
    contents=$(dpkg-deb --contents "$deb")
    for file in ./usr/bin/brindlemoor ./usr/bin/brindle-disc ./usr/share/brindlemoor/sample-disc/CD07; do
        echo "$contents" | grep -qE "^-rwxr-xr-x .* $file$" || fail "the package lacks the executable $file"
    done
    for file in ./usr/share/applications/brindlemoor-sample-disc.desktop ./usr/share/doc/brindlemoor/copyright \
        ./usr/share/icons/hicolor/32x32/apps/brindlemoor.png; do
        echo "$contents" | grep -qE "^-rw-r--r-- .* $file$" || fail "the package lacks $file"
    done
    echo "$contents" | grep -q ' \./usr/share/brindlemoor/sample-disc/Files/' ||
        fail "the package lacks the sample disc's Files tree"
    dpkg-deb -x "$deb" "$scratch/unpacked" || fail "the package does not unpack"
    check_tree "$scratch/unpacked" /usr
fi

[ "$failures" -eq 0 ] && echo "installation checks passed"
exit $((failures > 0))
