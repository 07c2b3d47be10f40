#!/bin/sh
# The README's pictures of the main window: English and Russian, stopped and running, with the same
# eight items every time, so that two builds can be compared picture by picture.
#   readme-shots.sh PROGRAM_DIR BUILD_DIR OUT_DIR
# Runs Orvanter.exe under Wine in its own prefix (BUILD_DIR/shots-prefix, never ~/.wine) on a virtual
# screen and writes OUT_DIR/main-{en,ru}-{stopped,running}.png. The prefix holds the items of rows 1, 2,
# 5 and 6 and macro 1's batch file; row 7's file and macro 7's batch file are missing.
set -eu
program_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
mkdir -p "$3"
out_dir=$(cd "$3" && pwd)

if [ "${ORV_INSIDE_XVFB:-0}" != 1 ]; then
    exec env ORV_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" "$program_dir" "$build_dir" "$out_dir"
fi

export WINEPREFIX="$build_dir/shots-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
log="$build_dir/shots-wine.log"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >"$log" 2>&1 </dev/null
    wineserver -w
fi

data="$WINEPREFIX/drive_c/Data"
mkdir -p "$data/Logs" "$data/Reports"
printf 'Quarterly report\r\n' >"$data/report.txt"
printf 'started\r\nERROR: disk full\r\nstopped\r\n' >"$data/app.log"
printf 'weekly\r\n' >"$data/Reports/week.txt"
rm -f "$data/missing.txt"

# The eight items: type (0 file, 1 directory, 2 application), on, path, name, parameter, search text.
items="0|1|C:\\\\Data\\\\report.txt|report.txt|1|
1|1|C:\\\\Data\\\\Logs|Logs|0|
2|1|C:\\\\windows\\\\notepad.exe|notepad.exe|0|
0|0||||
0|1|C:\\\\Data\\\\app.log|app.log|3|ERROR
1|1|C:\\\\Data\\\\Reports|Reports|1|
0|1|C:\\\\Data\\\\missing.txt|missing.txt|2|
0|1|||0|"

settings() { # LANGUAGE (0 English, 1 Russian)
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\SoftWare\Keldrastic\Orvanter]'
    printf '"Languare"=dword:%08x\n' "$1"
    echo '"HintShow"=dword:00000001'
    echo '"LogOK"=dword:00000001'
    n=1
    printf '%s\n' "$items" | while IFS='|' read -r type on path name param text; do
        printf '"Type_Obj%d"=dword:%08x\n"Razr_Obj%d"=dword:%08x\n"Param_Obj%d"=dword:%08x\n' \
            "$n" "$type" "$n" "$on" "$n" "$param"
        case $type in
            0) printf '"Path_File%d"="%s"\n"Name_File%d"="%s"\n' "$n" "$path" "$n" "$name" ;;
            1) printf '"Path_Dir%d"="%s"\n"Name_Dir%d"="%s"\n' "$n" "$path" "$n" "$name" ;;
            2) printf '"Path_Prog%d"="%s"\n"Name_Prog%d"="%s"\n' "$n" "$path" "$n" "$name" ;;
        esac
        printf '"String_Obj%d"="%s"\n' "$n" "$text"
        n=$((n + 1))
    done
    echo
    echo '[HKEY_CURRENT_USER\SoftWare\Keldrastic\Orvanter\Macros]'
    echo '"Macros_1_Name"="Copy report"'
    echo '"Macros_1_File_BAT"="sample.bat"'
    echo '"Macros_7_File_BAT"="cleanup.bat"'
}

shot() { # LANGUAGE NAME [SWITCH]
    "$wine" reg delete 'HKCU\SoftWare\Keldrastic\Orvanter' /f >/dev/null 2>&1 || true
    settings "$1" >"$build_dir/shots.reg"
    "$wine" regedit /S "Z:$(printf '%s' "$build_dir/shots.reg" | tr '/' '\\')" >>"$log" 2>&1 </dev/null
    (cd "$program_dir" && exec "$wine" Orvanter.exe ${3:-} >>"$log" 2>&1 </dev/null) &
    pid=$!
    window="" waited=0
    # The splash is titled as the main window is: wait for the main window's size.
    while [ -z "$window" ] && [ "$waited" -lt 60 ]; do
        sleep 1
        waited=$((waited + 1))
        for w in $(xdotool search --onlyvisible --name '^Orvanter$' 2>/dev/null); do
            xdotool getwindowgeometry "$w" | grep -q 'Geometry: 802x602' && window=$w
        done
    done
    [ -n "$window" ] || { echo "no main window; see $log" >&2; kill "$pid"; exit 1; }
    sleep 4
    xdotool mousemove 1200 1000
    sleep 1
    import -window "$window" "$out_dir/$2.png"
    echo "$out_dir/$2.png"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    wineserver -k
}

shot 0 main-en-stopped
shot 0 main-en-running /start
shot 1 main-ru-stopped
shot 1 main-ru-running /start
