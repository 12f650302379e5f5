#!/usr/bin/env bash
# The one list of Debian packages the build, the program and the tests need.
# Sourced by run.sh and test.sh; `ensure_packages` installs what is missing.
QUOTERIA_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libqt6sql6-sqlite libqt6sql6-psql postgresql
  odbc-postgresql unixodbc libqt6sql6-odbc tdsodbc
  qt6-svg-dev qt6-multimedia-dev qt6-webengine-dev qt6-image-formats-plugins libquazip1-qt6-dev libquazip1-qt6-1
  libfreexl-dev python3-openpyxl python3-xlwt
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav gstreamer1.0-tools
  fonts-liberation2 fonts-dejavu-core iso-flags-png-320x240
  pulseaudio xvfb xauth
)

ensure_packages() {
  local missing=()
  local p
  for p in "${QUOTERIA_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq >&2 || return 1
  $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >&2 || return 1
}

# Configure and build into $1 (default: build/) with the given build type.
build_tree() {
  local dir="${1:-build}" type="${2:-RelWithDebInfo}"
  shift 2 2>/dev/null || true
  # A compiler cache, where one is installed, makes rebuilds of several trees cheap.
  if command -v ccache >/dev/null 2>&1; then
    set -- -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$QUOTERIA_ROOT")}"
  fi
  cmake -S "$QUOTERIA_ROOT" -B "$QUOTERIA_ROOT/$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >&2 || return 1
  cmake --build "$QUOTERIA_ROOT/$dir" -j"$(nproc)" >&2
}
