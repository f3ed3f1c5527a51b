#!/usr/bin/env bash
# Builds every benchmark program (each executable target named *_bench) and runs them one after another
# in the build's Wine prefix and a private Xvfb, printing what each prints; programs that start a
# simulated device run through the device runner. Exits non-zero when a benchmark fails.
#   scripts/bench.sh [BUILD_DIR]        (default: build/; KRL_BENCH_CPU=N|all, below)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
build=${1:-${KRL_BUILD_DIR:-$KRL_ROOT/build}}
case "$build" in /*) ;; *) build=$KRL_ROOT/$build ;; esac

krl_build "$build" --target benchmarks
list="$build/benchmarks.list"
[ -s "$list" ] || { log "no benchmarks listed in $list"; exit 1; }
# The benchmarks, their Wine server and their display share one CPU. Under Wine nearly every system call is a
# round trip to the Wine server, and waking the server on another CPU of a virtual machine costs several times
# more at some hours than at others: alternated runs put the same start-up at 180 ms on one CPU and at 500 ms
# on several. On one CPU a round trip is a switch between two processes, so a figure measures the program
# rather than the hour. KRL_BENCH_CPU picks the CPU; "all" leaves them unpinned.
cpu=${KRL_BENCH_CPU:-$(( $(nproc) - 1 ))}
if [ "$cpu" != all ]; then
  taskset -p -c "$cpu" $$ >/dev/null
  echo "=== on CPU $cpu (with their Wine server and display; KRL_BENCH_CPU=all runs them unpinned)"
fi
krl_wine_prefix "$build"
trap 'krl_wine_server_stop; krl_xvfb_stop' EXIT
krl_xvfb_start
krl_wine_server_start

cd "$build"
failed=()
while IFS=$'\t' read -r name program runner; do
  echo "=== $name"
  # One at a time: a benchmark sharing the machine with another measures both. Each with a Wine server of its own:
  # after the serial benchmark's simulated port, the loader's own start measured three times as slow.
  krl_wine_server_stop
  krl_wine_server_start
  if ! "$runner" "$program" </dev/null; then
    failed+=("$name")
    echo "=== $name FAILED"
  fi
  echo
done <"$list"
if [ ${#failed[@]} -gt 0 ]; then
  log "failed: ${failed[*]}"
  exit 1
fi
