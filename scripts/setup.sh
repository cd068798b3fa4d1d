#!/usr/bin/env bash
# Installs everything the three builds and the tests need on a Debian 12 machine, from Debian's packages.
# Run as root (or with sudo available). Idempotent: packages already present are left alone.
set -eu

packages=(
  build-essential g++ cmake ninja-build pkg-config git ca-certificates
  mingw-w64 g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 binutils-mingw-w64
  zlib1g-dev libz-mingw-w64-dev
  libgtest-dev googletest libbenchmark-dev
  libmbedtls-dev
  # The fuzz preset: clang 14, its sanitizer and libFuzzer runtimes, llvm-symbolizer for readable reports.
  clang-14 libclang-rt-14-dev llvm-14
  openssl python3 file
  wine wine64
  # Mbed TLS for the Windows builds is built from Debian's source package (scripts/build-mbedtls.sh).
  dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # --no-install-recommends keeps wine32 out: its 32-bit loader cannot run here and would take over `wine`.
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
  echo "setup: wine32 is installed; it makes 'wine' pick a 32-bit loader that cannot run here. Remove it." >&2
  exit 1
fi
echo "setup: all packages present"

# Mbed TLS 2.28 for the two Windows builds: built once from Debian's sources, then reused.
"$(dirname "$0")/build-mbedtls.sh"
