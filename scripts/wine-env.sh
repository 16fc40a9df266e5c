# Shared shell functions for running Windows programs of this project under
# Wine: the cached template prefix, private prefixes made from it, and a
# private virtual display. Sourced by wine-run.sh and run.sh.

WINE_LOADER=/usr/lib/wine/wine64
[ -x "$WINE_LOADER" ] || WINE_LOADER=$(command -v wine64 || command -v wine)
export WINELOADER="$WINE_LOADER"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts, and no menu entries written into the
# host's home when a program talks to Program Manager.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

# Bump when the template's contents change.
TEMPLATE_FORMAT=4

corvanix_cache_dir() {
    echo "${CORVANIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/corvanix}"
}

corvanix_template_dir() {
    ver=$("$WINE_LOADER" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' '_')
    echo "$(corvanix_cache_dir)/wine-template-$ver-f$TEMPLATE_FORMAT"
}

# Starts a private Xvfb (with the extra arguments given) and exports
# DISPLAY. Sets XVFB_PID.
start_private_display() {
    dfile=$(mktemp)
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset "$@" \
        9>"$dfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    i=0
    while [ ! -s "$dfile" ] && [ $i -lt 100 ]; do
        sleep 0.05; i=$((i + 1))
    done
    num=$(head -n1 "$dfile")
    rm -f "$dfile"
    if [ -z "$num" ]; then
        echo "wine-env: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$num"
}

stop_private_display() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# Creates the template prefix once (wineboot -i), with the settings every
# test prefix needs: no window manager on Xvfb, so Wine must not wait for
# one; no crash dialog that would hang an unattended run; and text
# documents opening in Notepad, as on any Windows.
ensure_template() {
    tdir=$(corvanix_template_dir)
    [ -f "$tdir/.ready" ] && return 0
    mkdir -p "$(dirname "$tdir")"
    (
        flock 8
        [ -f "$tdir/.ready" ] && exit 0
        rm -rf "$tdir.tmp"
        own_display=
        if [ -z "${DISPLAY:-}" ]; then
            start_private_display || exit 1
            own_display=1
        fi
        export WINEPREFIX="$tdir.tmp"
        "$WINE_LOADER" wineboot -i >/dev/null 2>&1
        # Wine's own fonts (MS Sans Serif, Tahoma, Marlett for the caption
        # buttons) where every program of the prefix finds them.
        if [ -d /usr/share/wine/fonts ]; then
            cp /usr/share/wine/fonts/* "$tdir.tmp/drive_c/windows/Fonts/" 2>/dev/null || true
        fi
        reg=$(mktemp --suffix=.reg)
        cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CLASSES_ROOT\.txt]
@="txtfile"
"Content Type"="text/plain"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Auto"="1"
"Debugger"="false"
REG
        "$WINE_LOADER" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1
        rm -f "$reg"
        WINEPREFIX="$tdir.tmp" wineserver -k >/dev/null 2>&1 || true
        WINEPREFIX="$tdir.tmp" wineserver -w >/dev/null 2>&1 || true
        [ -n "$own_display" ] && stop_private_display
        mv "$tdir.tmp" "$tdir" && touch "$tdir/.ready"
    ) 8>"$(dirname "$tdir")/template.lock"
    [ -f "$tdir/.ready" ]
}

# Unix path -> Z: path, without starting Wine.
winepath_of() {
    echo "Z:$1" | tr '/' '\\'
}

# Makes a private prefix copied from the template under $1.
make_private_prefix() {
    ensure_template || return 1
    cp -a "$(corvanix_template_dir)" "$1"
    rm -f "$1/.ready"
}

# Runs a program in a private prefix on a virtual display for a few
# seconds (CORVANIX_SHOT_DELAY, 6 by default), from the directory given,
# saves a screenshot to the PNG path given, and ends everything it started.
#
#   show_on_virtual_display program.exe directory shot.png [arguments...]
show_on_virtual_display() {
    show_exe=$1; show_dir=$2; show_shot=$3
    shift 3
    show_run=$(mktemp -d "${TMPDIR:-/tmp}/corvanix-show.XXXXXX")
    XVFB_PID=
    (
        export WINEPREFIX="$show_run/prefix"
        cleanup_show() {
            wineserver -k >/dev/null 2>&1 || true
            wineserver -w >/dev/null 2>&1 || true
            stop_private_display
            rm -rf "$show_run"
        }
        trap cleanup_show EXIT
        make_private_prefix "$WINEPREFIX" || exit 1
        start_private_display || exit 1
        cd "$show_dir"
        "$WINE_LOADER" "$show_exe" "$@" &
        sleep "${CORVANIX_SHOT_DELAY:-6}"
        import -window root "$show_shot"
    )
}
