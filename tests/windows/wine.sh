# Helpers for running the Windows program and its suites under Wine: a Wine prefix of the run's
# own in its work folder (made by start_wine, removed with the folder by stop_display), so that no
# test sees another's registry, drives or settings file.

# start_wine: makes the prefix; the work folder must exist (start_display).
start_wine() {
    export WINEPREFIX="$E2E_WORK/wine" WINEARCH=win64 WINEDEBUG=-all
    # No .NET or HTML engine: their installers would ask in a dialog and nothing here needs them.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    wineboot --init >"$E2E_WORK/wineboot.log" 2>&1 || { echo "the Wine prefix could not be made"; exit 1; }
    wineserver -w
}

stop_wine() {
    [[ -n "${WINEPREFIX:-}" ]] && wineserver -k >/dev/null 2>&1
    return 0
}
