#!/bin/sh
# Builds the fuzz targets with clang and runs each for a bounded time.
#   fuzz/run.sh [seconds per target] [target...]
# Targets: fuzz_rtftohtml (the HTML converter), fuzz_richtextrtf (RTF reader and writer),
# fuzz_workbook (the workbook reader; seeds: the files in fuzz/seeds/workbook/),
# fuzz_medialists (the media list readers; seeds: fuzz/seeds/medialists/).
set -e
here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-300}
[ $# -gt 0 ] && shift
targets=${*:-fuzz_rtftohtml fuzz_richtextrtf fuzz_workbook fuzz_medialists}
build=$here/build
CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2 >/dev/null

seeds=$build/seeds
mkdir -p "$seeds"
# Seeds: the forms a rich-text control writes.
printf '0{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\qc\\cf1\\f0\\fs40 Hello \\b bold\\b0  \\i it\\i0\\par\r\n}' >"$seeds/seed1"
printf '0{\\rtf1\\pard{\\pntext\\f1\\'"'"'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'"'"'B7}}\\fi-720\\li720 one\\par\r\n{\\pntext\\f1\\'"'"'B7\\tab}two\\par\r\n\\pard\\qr\\ul\\strike x\\strike0\\ulnone\\super 2\\nosupersub\\'"'"'e9\\'"'"'99\\u8364?\\par}' >"$seeds/seed2"
printf '+CR{\\stylesheet{\\s1 h;}}{\\info{\\author a}}\\plain\\fs20\\cf0 a\\tab b\\'"'"'85{\\pict\\wmetafile8 0101}' >"$seeds/seed3"
# Hostile tables and runs that once took time in their square: colour entries
# without green or blue, long font names, many font entries, deep nesting.
repeat() { yes "$1" | head -n "$2" | tr -d '\n'; }
{ printf '0{\\colortbl ;'; repeat '\red1;' 9000; printf '}\\cf1 x'; } >"$seeds/table-red"
{ printf '0{\\colortbl ;'; repeat '\red1\green2;' 4500; printf '}\\cf1 x'; } >"$seeds/table-red-green"
{ printf '0{\\colortbl ;'; repeat '\red' 12000; } >"$seeds/table-bare-red"
{ printf '0{\\fonttbl{\\f0 '; repeat 'A' 20000; printf ';}{\\f1 B;}}'; repeat '\f0 x\f1 y' 3000; } >"$seeds/font-long-face"
{ printf '0{\\fonttbl'; repeat '{\f0\fnil;}' 4000; printf '}x'; } >"$seeds/font-no-names"
{ printf '+CR'; repeat '\i' 100; repeat '{\pntext}x' 500; } >"$seeds/deep-reopen"

for t in $targets; do
    corpus=$build/corpus-$t
    mkdir -p "$corpus"
    if [ "$t" = fuzz_workbook ]; then
        cp -n "$here"/seeds/workbook/* "$corpus"/ 2>/dev/null || true
    elif [ "$t" = fuzz_medialists ]; then
        cp -n "$here"/seeds/medialists/* "$corpus"/ 2>/dev/null || true
    else
        cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
    fi
    echo "== $t for $seconds s"
    (cd "$build" && ./"$t" -max_total_time="$seconds" -timeout=5 -max_len=65536 \
        -rss_limit_mb=2048 -print_final_stats=1 "$corpus" 2>&1 | tail -12)
done
