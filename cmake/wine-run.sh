#!/bin/sh
# Runs one Windows test executable under Wine in the build's own prefix.
#   wine-run.sh PREFIX [--xvfb] EXE [ARGS...]
#   wine-run.sh PREFIX --init          makes the prefix (once, before the tests)
# Wine's output goes to a file first: wineserver and Wine's service processes would otherwise keep
# CTest's output pipe open after the test has ended, and CTest would wait for them.
set -u
prefix=$1; shift
xvfb=0
init=0
if [ "${1:-}" = "--init" ]; then init=1; shift; fi
if [ "${1:-}" = "--xvfb" ]; then xvfb=1; shift; fi
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64

if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    "$wine" wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
fi
if [ "$init" = 1 ]; then
    # Test windows are not handed to a window manager (there is none under Xvfb): otherwise Wine waits
    # about two seconds for one whenever a window is hidden.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    wineserver -w
    test -f "$prefix/system.reg"
    exit $?
fi
exe=$1; shift

log=$(mktemp "${TMPDIR:-/tmp}/orv-wine.XXXXXX")
if [ "$xvfb" = 1 ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" "$exe" "$@" >"$log" 2>&1 </dev/null
else
    "$wine" "$exe" "$@" >"$log" 2>&1 </dev/null
fi
rc=$?
wineserver -w
# Windows text-mode output ends its lines in CR LF.
tr -d '\r' <"$log"
rm -f "$log"
exit $rc
