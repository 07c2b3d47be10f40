#!/bin/sh
# Starts Orvanter.exe under Wine in its own prefix (BUILD_DIR/run-prefix, never ~/.wine).
#   run-program.sh PROGRAM_DIR BUILD_DIR
# With a display the program runs there until you close it. Without one it runs under Xvfb: after
# SHOT_DELAY seconds (default 8) the screen is saved to BUILD_DIR/screenshot.png (and the window
# alone to BUILD_DIR/screenshot-window.png), then the program is ended.
set -u
program_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
shot_delay=${SHOT_DELAY:-8}

export WINEPREFIX="$build_dir/run-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
log="$build_dir/run-wine.log"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX (once)..."
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >"$log" 2>&1 </dev/null
    wineserver -w
fi

if [ "${ORV_INSIDE_XVFB:-0}" = 1 ]; then
    # Second half, on the virtual screen: start, wait for the window, take the pictures, end.
    cd "$program_dir" || exit 1
    "$wine" Orvanter.exe >>"$log" 2>&1 </dev/null &
    pid=$!
    window=""
    waited=0
    while [ -z "$window" ] && [ "$waited" -lt 60 ] && kill -0 "$pid" 2>/dev/null; do
        sleep 1
        waited=$((waited + 1))
        window=$(xdotool search --onlyvisible --name '^Orvanter$' 2>/dev/null | head -n 1)
    done
    sleep "$shot_delay"
    status=0
    if kill -0 "$pid" 2>/dev/null; then
        import -window root "$build_dir/screenshot.png"
        window=$(xdotool search --onlyvisible --name '^Orvanter$' 2>/dev/null | head -n 1)
        if [ -n "$window" ]; then
            import -window "$window" "$build_dir/screenshot-window.png"
        fi
        kill "$pid" 2>/dev/null
    else
        echo "Orvanter.exe ended before the screenshot; see $log" >&2
        status=1
    fi
    wait "$pid" 2>/dev/null
    wineserver -k
    exit $status
fi

if [ -n "${DISPLAY:-}" ]; then
    echo "Starting Orvanter.exe under Wine (prefix $WINEPREFIX); close it to return."
    cd "$program_dir" && "$wine" Orvanter.exe >>"$log" 2>&1 </dev/null
    wineserver -w
    exit 0
fi

echo "No display: running Orvanter.exe under Xvfb for a screenshot..."
rm -f "$build_dir/screenshot.png" "$build_dir/screenshot-window.png"
ORV_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" "$program_dir" "$build_dir"
status=$?
if [ -f "$build_dir/screenshot.png" ]; then
    echo "Screenshot: $build_dir/screenshot.png"
    [ -f "$build_dir/screenshot-window.png" ] && echo "Window only: $build_dir/screenshot-window.png"
fi
exit $status
