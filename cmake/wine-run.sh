#!/usr/bin/env bash
# Runs a Windows program in the build tree's own Wine prefix (ctest's cross-compiling emulator).
# KESTOR_WINE_DIR names the folder that wine-env.sh prepared, KESTOR_WINE_LOADER the Wine loader
# for the tree's architecture; the display for message boxes is the virtual one of wine-env.sh.
set -u
dir=${KESTOR_WINE_DIR:?KESTOR_WINE_DIR is not set}
loader=${KESTOR_WINE_LOADER:-wine}
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ "$loader" = wine ] || export WINELOADER="$loader"
[ -f "$dir/display" ] && DISPLAY=$(cat "$dir/display") && export DISPLAY
exec "$loader" "$@"
