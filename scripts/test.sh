#!/usr/bin/env bash
# Every test: install what is missing, build, start the sound server, run ctest.
set -euo pipefail
QUOTERIA_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
. "$QUOTERIA_ROOT/scripts/packages.sh"
ensure_packages
dir=build
if [ "${1:-}" = "--sanitize" ]; then
  # Same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
  shift
  dir=build-asan
  build_tree "$dir" Debug -DQUOTERIA_SANITIZE=ON
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  build_tree "$dir" RelWithDebInfo
fi

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/quoteria-rt.XXXXXX)}"
chmod 700 "$XDG_RUNTIME_DIR"
# A null sink, so sound tests play for real without an audio device.
if ! pulseaudio --check 2>/dev/null; then
  if pulseaudio -D --exit-idle-time=-1 -n --load="module-null-sink sink_name=nullsink" \
    --load=module-native-protocol-unix >/dev/null 2>&1; then
    # The server we started ends with the tests.
    trap 'pulseaudio --kill 2>/dev/null || true' EXIT
  else
    echo "pulseaudio did not start" >&2
  fi
fi
cd "$QUOTERIA_ROOT/$dir"
ctest --output-on-failure -j2 "$@"
