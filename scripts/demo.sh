#!/usr/bin/env bash
# Builds the 64-bit installer and runs it under Wine in a demo prefix kept under build/, so that a second
# run shows the update path. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64

export WINEPREFIX="$PWD/build/demo-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.complete" ]; then
  echo "demo: making the Wine prefix (once, 10-20 s)"
  wine wineboot -i >/dev/null 2>&1
  touch "$WINEPREFIX/.complete"
fi
status=0
wine build/win64/qor-installer.exe || status=$?
echo
echo "demo: exit status $status; Wine prefix: $WINEPREFIX"
echo "demo: installed files: $WINEPREFIX/drive_c/Program Files/Morvellan/QOR.UA/matrix2"
echo "demo: run this command again to see the update path; 'WINEPREFIX=$WINEPREFIX wineserver -k' ends the prefix's processes"
