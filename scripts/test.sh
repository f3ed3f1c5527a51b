#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test under Wine. Exits non-zero on any failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=${KRL_BUILD_DIR:-$KRL_ROOT/build}

bash "$here/setup.sh"
krl_build "$build"
krl_wine_prefix "$build"
krl_wine_prefix_win10
trap 'krl_wine_server_stop; krl_xvfb_stop' EXIT
krl_xvfb_start
krl_wine_server_start
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
