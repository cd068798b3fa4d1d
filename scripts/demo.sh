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
  wineserver -w
  touch "$WINEPREFIX/.complete"
fi
# A persistent server, booted before the run: the prefix's services (the installed server among them) keep
# running between runs, as on a real machine, instead of the session ending under the installer's feet.
# (A server of an earlier demo run that is still up is persistent already: then this does nothing.)
wineserver -p </dev/null >/dev/null 2>&1 || true
wine wineboot >/dev/null 2>&1
status=0
wine build/win64/qor-installer.exe || status=$?
echo
echo "demo: exit status $status; Wine prefix: $WINEPREFIX"
echo "demo: installed files: $WINEPREFIX/drive_c/Program Files/Morvellan/QOR.UA/matrix2"
echo "demo: run this command again to see the update path; 'WINEPREFIX=$WINEPREFIX wineserver -k' ends the prefix's processes"
