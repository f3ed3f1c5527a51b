#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the loader under Wine.
# With no display it starts a private Xvfb and saves a screenshot a few seconds after start.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=${KRL_BUILD_DIR:-$KRL_ROOT/build}
shot=${KRL_SCREENSHOT:-$KRL_ROOT/loader-screenshot.png}

bash "$here/setup.sh"
krl_build "$build" --target KRLBootloader
krl_wine_prefix "$build"
exe="$build/app/KRLBootloader.exe"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe" "$@"
fi
trap krl_xvfb_stop EXIT
krl_xvfb_start
wine "$exe" "$@" &
pid=$!
sleep "${KRL_SCREENSHOT_DELAY:-5}"
import -window root "$shot"
log "screenshot of the screen saved to $shot"
if [ -n "${KRL_RUN_SECONDS:-}" ]; then
  sleep "$KRL_RUN_SECONDS"
  kill "$pid" 2>/dev/null || true
fi
wait "$pid" || true
