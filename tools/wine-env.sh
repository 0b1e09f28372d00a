# Sourced by the run and test scripts: a display, the Wine prefix inside the build folder and
# one persistent wineserver for everything that follows. Call wine_env_stop when done.
# Needs: repo_root.

export WINEPREFIX="${KVMIDI_WINEPREFIX:-$repo_root/build/wineprefix}"
export WINEDEBUG=-all
# No Mono or Gecko downloads: the prefix must come up without a network. No sound drivers:
# the program plays nothing, and without a sound device each Wine process would fill the
# log with ALSA's complaints. Wine's MIDI input comes through the ALSA driver too, so
# KVMIDI_HOST_MIDI=1 keeps it for a run with the host's MIDI devices.
sound_drivers="winealsa.drv,winepulse.drv,wineoss.drv="
[ "${KVMIDI_HOST_MIDI:-}" != 1 ] || sound_drivers="winepulse.drv,wineoss.drv="
export WINEDLLOVERRIDES="mscoree,mshtml=;$sound_drivers"
unset sound_drivers

wine_env_xvfb_pid=""

wine_env_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local fd_file
    fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
    wine_env_xvfb_pid=$!
    local waited=0
    while [ ! -s "$fd_file" ] && [ $waited -lt 300 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    export DISPLAY=":$(head -n1 "$fd_file")"
    rm -f "$fd_file"
    [ "$DISPLAY" != ":" ] || { echo "Xvfb did not start" >&2; return 1; }
}

wine_env_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix in $WINEPREFIX"
        # Wine makes the prefix's own folder but not its parents (the build folder of a fresh clone).
        mkdir -p "$(dirname "$WINEPREFIX")"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        # Every window of the prefix opens in one virtual desktop, which has a notification area.
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        wineserver -w
    fi
}

wine_env_start() {
    wine_env_display
    wine_env_prefix
    wineserver -p >/dev/null 2>&1
    # Start the prefix's services now, detached from our output, rather than in the first test.
    wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

wine_env_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$wine_env_xvfb_pid" ]; then
        kill "$wine_env_xvfb_pid" 2>/dev/null || true
        wait "$wine_env_xvfb_pid" 2>/dev/null || true
    fi
}
