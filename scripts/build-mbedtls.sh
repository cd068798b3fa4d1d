#!/usr/bin/env bash
# Builds Mbed TLS 2.28.3 for the two Windows builds from Debian's source package, with our mingw toolchain
# files, and installs it outside the repository:
#   /opt/qor/mbedtls-2.28.3/x86_64-w64-mingw32   (win64)
#   /opt/qor/mbedtls-2.28.3/i686-w64-mingw32     (win32)
# The host build uses Debian's libmbedtls-dev of the same version. Run as root (or with sudo available).
# Idempotent: an architecture that is installed already is left alone, so only a fresh machine pays the
# build (about half a minute for both).
set -eu

version=2.28.3
prefix_root=/opt/qor/mbedtls-$version
repo=$(cd "$(dirname "$0")/.." && pwd)
triplets=(x86_64-w64-mingw32 i686-w64-mingw32)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

installed() { [ -f "$prefix_root/$1/.complete" ]; }

all_installed() {
  for t in "${triplets[@]}"; do installed "$t" || return 1; done
}

# apt-get source needs a deb-src entry: the same archive, suites, components and key as the machine's
# binary entries.
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/qor-debian-src.sources
  [ -f "$list" ] || [ -f "${list%.sources}.list" ] && return 0
  grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/ && return 0
  echo "build-mbedtls: adding a deb-src entry for Debian's sources"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$list" >/dev/null
  else
    # A machine set up with the one-line format (debootstrap's sources.list).
    list=/etc/apt/sources.list.d/qor-debian-src.list
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | sed -n 's/^deb /deb-src /p' | sort -u |
      as_root tee "$list" >/dev/null
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
}

# Downloads the source package and unpacks it into $1/mbedtls-$version. The package carries no patches;
# Debian's rules switch on options for a Linux system library (pthread threading, HAVEGE, MD2/MD4) in the
# configuration at build time, and those are left out here: the Windows builds keep upstream's defaults.
fetch_source() {
  local work=$1
  # As root apt warns that it downloads unsandboxed; that is expected here.
  (cd "$work" && apt-get source --download-only -qq mbedtls >/dev/null 2>&1) || true
  local dsc
  dsc=$(ls "$work"/mbedtls_"$version"-*.dsc 2>/dev/null | head -n 1)
  if [ -z "$dsc" ]; then
    echo "build-mbedtls: Debian's source package holds no mbedtls $version" >&2
    exit 1
  fi
  (cd "$work" && dpkg-source --no-check -x "$dsc" "mbedtls-$version" >/dev/null)
}

# Configures, builds and installs one architecture from a fresh copy of the source.
build_one() {
  local work=$1 triplet=$2 toolchain=$3
  local src="$work/src-$triplet" build="$work/build-$triplet" dest="$prefix_root/$triplet"
  cp -a "$work/mbedtls-$version" "$src"
  if [ "$triplet" = i686-w64-mingw32 ]; then
    # Without it the 32-bit big-number code takes the portable C multiply instead of the SSE2 one.
    (cd "$src" && python3 scripts/config.py set MBEDTLS_HAVE_SSE2)
  fi
  cmake -S "$src" -B "$build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$dest" \
    -DENABLE_PROGRAMS=OFF -DENABLE_TESTING=OFF \
    -DUSE_STATIC_MBEDTLS_LIBRARY=ON -DUSE_SHARED_MBEDTLS_LIBRARY=OFF \
    -DMBEDTLS_FATAL_WARNINGS=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" >/dev/null
  as_root rm -rf "$dest"
  as_root cmake --install "$build" >/dev/null
  as_root touch "$dest/.complete"
  echo "build-mbedtls: installed $dest"
}

if all_installed; then
  echo "build-mbedtls: mbedtls $version for Windows present in $prefix_root"
  exit 0
fi

start=$(date +%s)
ensure_deb_src
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fetch_source "$work"
installed x86_64-w64-mingw32 || build_one "$work" x86_64-w64-mingw32 toolchain-mingw64.cmake
installed i686-w64-mingw32 || build_one "$work" i686-w64-mingw32 toolchain-mingw32.cmake
echo "build-mbedtls: done in $(( $(date +%s) - start )) s"
