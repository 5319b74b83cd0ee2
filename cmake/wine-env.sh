#!/usr/bin/env bash
# wine-env.sh start|stop DIR [LOADER]
# start: a virtual display (Xvfb) and a persistent wineserver for the prefix DIR/prefix, with
#        Wine's services detached from the caller's pipes so that ctest does not wait on them.
# stop:  ends both.
set -u
action=${1:?start or stop}
dir=${2:?folder}
loader=${3:-wine}
mkdir -p "$dir"
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ "$loader" = wine ] || export WINELOADER="$loader"

stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -f "$dir/xvfb.pid" ]; then
    kill "$(cat "$dir/xvfb.pid")" >/dev/null 2>&1 || true
    rm -f "$dir/xvfb.pid" "$dir/display"
  fi
}

case "$action" in
  stop) stop; exit 0 ;;
  start) ;;
  *) echo "usage: wine-env.sh start|stop DIR" >&2; exit 2 ;;
esac

stop
if command -v Xvfb >/dev/null 2>&1; then
  for n in $(seq 91 190); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if [ -e "/tmp/.X11-unix/X$n" ]; then echo ":$n" >"$dir/display"; break; fi
    kill "$(cat "$dir/xvfb.pid")" >/dev/null 2>&1; rm -f "$dir/xvfb.pid"
  done
fi
[ -f "$dir/display" ] && DISPLAY=$(cat "$dir/display") && export DISPLAY

setsid wineserver -p </dev/null >/dev/null 2>&1
if ! setsid "$loader" wineboot -i </dev/null >"$dir/wineboot.log" 2>&1; then
  echo "wine-env: wineboot failed, see $dir/wineboot.log" >&2
  exit 1
fi
# Xvfb runs no window manager, and Wine waits up to two seconds for one whenever it hides a
# managed window (every message box took that long to close). Unmanaged windows close at once.
if ! setsid "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$dir/wineboot.log" 2>&1; then
  echo "wine-env: setting unmanaged windows failed, see $dir/wineboot.log" >&2
  exit 1
fi
echo "wine-env: prefix $WINEPREFIX ready, display ${DISPLAY:-none}"
