#!/usr/bin/env bash
# Developer loop: build some targets in a build folder of your own and run matching tests.
#   scripts/ctest.sh BUILD_DIR [--target T ...] [-- CTEST_ARGS...]
# Example: scripts/ctest.sh build-fw --target framework_tests -- -R Stream
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=$1; shift
case "$build" in /*) ;; *) build=$KRL_ROOT/$build ;; esac
targets=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do targets+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
krl_build "$build" "${targets[@]}"
krl_wine_prefix "$build"
krl_wine_prefix_win10
trap 'krl_wine_server_stop; krl_xvfb_stop' EXIT
krl_xvfb_start
krl_wine_server_start
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
