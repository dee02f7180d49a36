#!/bin/sh
# take_screenshots.sh [BUILD_DIR]: runs the GUI test on its own Xvfb display with the build
# folder's Wine prefix and writes docs/screenshots/quillon-main.png and quillon-thanks.png.
# BUILD_DIR defaults to build/win32; Quillon and gui-driver must be built there.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
mkdir -p "$root/docs/screenshots"
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" sh -c '
  "$0/tools/wine-up" "$WINEPREFIX"
  python3 "$0/tests/gui/quillon_gui_test.py" --quillon "$1/bin/Quillon.exe" --driver "$1/bin/gui-driver.exe" \
    --screenshots "$0/docs/screenshots"
  status=$?
  "$0/tools/wine-down" "$WINEPREFIX"
  exit $status' "$root" "$build" </dev/null
