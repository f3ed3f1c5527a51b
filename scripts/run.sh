#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the loader under Wine.
# With no display it starts a private Xvfb and saves six pictures once the main window is up: the main
# window, the main window with the pointer resting on its close button, the main window in the service view,
# the About window, the message after Ctrl+R and the main window's system menu (tools/shots/krl_shots.exe).
#   --device   first starts a simulated device on a COM port of its own (listed in the port combo),
#              so a person without hardware can flash it and watch; KRL_DEVICE_ARGS passes options to
#              the simulator (e.g. "--page-count 8 --description 171122").
set -euo pipefail
device=0
if [ "${1:-}" = "--device" ]; then device=1; shift; fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=${KRL_BUILD_DIR:-$KRL_ROOT/build}
shots=${KRL_SCREENSHOTS:-$KRL_ROOT/loader-pictures}

bash "$here/setup.sh"
krl_build "$build" --target KRLBootloader krl_ptyshim krl_shots
krl_wine_prefix "$build"
exe="$build/app/KRLBootloader.exe"

device_pid=
stop_all() {
  [ -n "$device_pid" ] && kill "$device_pid" 2>/dev/null || true
  krl_xvfb_stop
}
trap stop_all EXIT
if [ "$device" = 1 ]; then
  # Pseudo-terminals have no modem lines; the shim gives the loader's Wine process some.
  export LD_PRELOAD="$build/tools/ptyshim/\$LIB/libkrlptyshim.so"
  # shellcheck disable=SC2086
  python3 "$KRL_ROOT/tools/devsim/devsim.py" --prefix "$WINEPREFIX" --register --baud 115200 ${KRL_DEVICE_ARGS:-} &
  device_pid=$!
  sleep 2
fi

if [ -n "${DISPLAY:-}" ]; then
  wine "$exe" "$@"
  exit
fi
krl_xvfb_start
wine "$exe" "$@" &
pid=$!
mkdir -p "$shots"
if wine "$build/tools/shots/krl_shots.exe" "Z:$(cd "$shots" && pwd | tr / '\\')" >"$shots/pictures.txt"; then
  log "pictures saved in $shots: main.png (main window), hover.png (pointer on the close button)," \
    "service.png (service view), about.png (About window)," \
    "message.png (message after Ctrl+R), sysmenu.png (system menu)"
else
  log "the pictures could not all be taken (see $shots/pictures.txt)"
fi
if [ -n "${KRL_RUN_SECONDS:-}" ]; then
  sleep "$KRL_RUN_SECONDS"
  kill "$pid" 2>/dev/null || true
fi
wait "$pid" || true
