#!/bin/sh
# Runs the installer test in a Wine prefix made fresh for it, on a virtual screen.
#   run_installer_test.sh PREFIX TEST_EXE SETUP_EXE VERSION WINGET_INSTALLER_MANIFEST
# The prefix is this test's alone, so its Wine server may be ended here without touching others.
set -u
prefix=$1 exe=$2 setup=$3 version=$4 manifest=$5
here=$(dirname "$0")
rm -rf "$prefix"
sh "$here/../../cmake/wine-run.sh" "$prefix" --init || exit 1

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64
# No menu entries or file associations of the test's shortcut reach the desktop of this machine.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
# Wine shows the root directory as drive Z:.
export ORV_SETUP="Z:$(printf '%s' "$setup" | tr / '\\')" ORV_VERSION="$version"
export ORV_WINGET_INSTALLER="Z:$(printf '%s' "$manifest" | tr / '\\')"

log=$(mktemp "${TMPDIR:-/tmp}/orv-installer.XXXXXX")
xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" "$exe" >"$log" 2>&1 </dev/null
rc=$?
# A program a failed step left behind must not keep the prefix alive.
timeout 60 wineserver -w || wineserver -k
tr -d '\r' <"$log"
rm -f "$log"
exit $rc
