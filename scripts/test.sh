#!/usr/bin/env bash
# Everything CI checks, from a fresh Debian 12 machine: installs what is missing, runs the host unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, replays every saved input of the fuzz targets
# (clang, libFuzzer), builds the 32-bit product, builds the 64-bit exe and runs the end-to-end tests under
# Wine; both exes are checked for their imports and resources, and built twice more to prove the builds
# reproducible.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

jobs=$(nproc)
cmake --preset host-asan
cmake --build --preset host-asan -j "$jobs"
ctest --preset host-asan -j "$jobs"

cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j "$jobs"  # every saved fuzz input once: no mutation, nothing written

cmake --preset win32
cmake --build --preset win32 -j "$jobs"
ctest --preset win32 -j "$jobs"  # import table, manifest and version information of the 32-bit exe

cmake --preset win64
cmake --build --preset win64 -j "$jobs"
ctest --preset win64 -j 2
./tools/check_reproducible.sh 2
echo "all tests passed"
