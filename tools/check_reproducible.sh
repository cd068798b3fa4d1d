#!/usr/bin/env bash
# Builds qor-installer.exe for both Windows targets twice, from scratch, in two build folders of different
# names, and fails unless each pair is byte for byte the same: no link time stamp, build path or date may
# reach the exe.
#
#     tools/check_reproducible.sh [JOBS]
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${1:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() {  # toolchain, build folder
  cmake -S . -B "$2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/$1" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$2" --target qor-installer -j "$jobs" >/dev/null
}

status=0
for arch in win64:toolchain-mingw64.cmake win32:toolchain-mingw32.cmake; do
  name=${arch%%:*}
  build "${arch#*:}" "$work/first-$name"
  build "${arch#*:}" "$work/second-build-$name"
  if cmp "$work/first-$name/qor-installer.exe" "$work/second-build-$name/qor-installer.exe"; then
    echo "$name: qor-installer.exe is reproducible ($(sha256sum <"$work/first-$name/qor-installer.exe" | cut -c1-16))"
  else
    echo "$name: two builds of qor-installer.exe differ" >&2
    status=1
  fi
done
exit $status
