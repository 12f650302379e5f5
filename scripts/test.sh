#!/usr/bin/env bash
# Every test: install what is missing, build, start the sound server, run ctest.
set -euo pipefail
QUOTERIA_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$QUOTERIA_ROOT/scripts/packages.sh"
ensure_packages
build_tree build RelWithDebInfo

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/quoteria-rt.XXXXXX)}"
chmod 700 "$XDG_RUNTIME_DIR"
# A null sink, so sound tests play for real without an audio device.
if ! pulseaudio --check 2>/dev/null; then
  pulseaudio -D --exit-idle-time=-1 -n --load="module-null-sink sink_name=nullsink" \
    --load=module-native-protocol-unix >/dev/null 2>&1 || echo "pulseaudio did not start" >&2
fi
cd "$QUOTERIA_ROOT/build"
ctest --output-on-failure -j2 "$@"
