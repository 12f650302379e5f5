#!/bin/sh
# Builds the converter's fuzz target with clang and runs it for a bounded time.
#   fuzz/run.sh [seconds] [jobs]
set -e
here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-600}
jobs=${2:-1}
build=$here/build
CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" >/dev/null

corpus=$build/corpus
mkdir -p "$corpus"
# Seeds: the forms a rich-text control writes.
printf '0{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\qc\\cf1\\f0\\fs40 Hello \\b bold\\b0  \\i it\\i0\\par\r\n}' >"$corpus/seed1"
printf '0{\\rtf1\\pard{\\pntext\\f1\\'"'"'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'"'"'B7}}\\fi-720\\li720 one\\par\r\n{\\pntext\\f1\\'"'"'B7\\tab}two\\par\r\n\\pard\\qr\\ul\\strike x\\strike0\\ulnone\\super 2\\nosupersub\\'"'"'e9\\'"'"'99\\u8364?\\par}' >"$corpus/seed2"
printf '+CR{\\stylesheet{\\s1 h;}}{\\info{\\author a}}\\plain\\fs20\\cf0 a\\tab b\\'"'"'85{\\pict\\wmetafile8 0101}' >"$corpus/seed3"

cd "$build"
./fuzz_rtftohtml -max_total_time="$seconds" -timeout=5 -max_len=65536 -rss_limit_mb=2048 \
    -jobs="$jobs" -workers="$jobs" -print_final_stats=1 "$corpus"
