# Shared settings of the project's scripts; sourced, never run.
KRL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KRL_CACHE=${KRL_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/krl-bootloader}
KRL_DEPS_PREFIX=${KRL_DEPS_PREFIX:-$KRL_CACHE/deps-i686}
export KRL_ROOT KRL_CACHE KRL_DEPS_PREFIX

log() { echo "[krl] $*" >&2; }

# The Wine environment every run of the program or its tests uses.
krl_wine_env() {
  local build=$1
  export WINEPREFIX=${KRL_WINEPREFIX:-$build/wineprefix}
  export WINEARCH=win32
  export LC_ALL=uk_UA.UTF-8
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

# Creates a Wine prefix once with the settings the tests rely on and the given Windows version.
krl_make_prefix() {
  local prefix=$1 version=$2
  local stamp="$prefix/.krl-settings"
  [ -f "$stamp" ] && return 0
  log "creating the Wine prefix $prefix ($version)"
  mkdir -p "$prefix"
  (
    export WINEPREFIX=$prefix
    wineboot -i >/dev/null 2>&1
    # Undecorated, unmanaged windows: the non-client area must be drawn and read back by Wine itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
    # Debian's Wine does not look in its own font folder: Tahoma, Marlett and Webdings go where it does.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
  )
  touch "$stamp"
}

# The Wine prefix every run of the program or its tests uses (Windows 7: no desktop composition).
krl_wine_prefix() {
  local build=$1
  krl_wine_env "$build"
  krl_make_prefix "$WINEPREFIX" win7
}

# The second prefix beside it, set to Windows 10 (composition on): the form skinner's tests run there again
# (cmake/wine-run picks it for tests started with KRL_WINDOWS_VERSION=win10).
krl_wine_prefix_win10() {
  krl_make_prefix "$WINEPREFIX-win10" win10
}

# Starts a private Xvfb when no display is set, and one more for the Windows 10 runs (KRL_DISPLAY_WIN10): the
# pointer is one per display, so tests run again there must not share it with their first run going on beside
# them. krl_xvfb_stop ends both by their own pids.
KRL_XVFB_PIDS=
krl_xvfb_new() {
  local n
  for n in $(seq 90 199); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    local pid=$!
    local i
    for i in $(seq 1 50); do
      # ours only when its lock names our server: another run may have taken the number at the same moment
      [ -e /tmp/.X11-unix/X$n ] && [ "$(tr -d ' \n' < /tmp/.X$n-lock 2>/dev/null)" = "$pid" ] &&
        { KRL_XVFB_PIDS="$KRL_XVFB_PIDS $pid"; export "$1=:$n"; return 0; }
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
  done
  log "could not start Xvfb"; return 1
}
krl_xvfb_start() {
  [ -n "${DISPLAY:-}" ] || krl_xvfb_new DISPLAY || return 1
  [ -n "${KRL_DISPLAY_WIN10:-}" ] || krl_xvfb_new KRL_DISPLAY_WIN10
}
krl_xvfb_stop() {
  local pid
  for pid in $KRL_XVFB_PIDS; do kill "$pid" 2>/dev/null || true; done
  KRL_XVFB_PIDS=
}

# Starts the prefix's server, Wine's service processes and its desktop before any test, and keeps the desktop
# for the whole run: Wine ends the desktop process a second after the last program on it ends, and the next
# test program to open a window starts it again, handing it its own error output; CTest then waits for that
# output to close (the desktop's end: an idle prefix or the time limit) although the test program has ended.
# The keeper is a command prompt waiting for a key on a pipe nobody writes; wineserver -k ends it. It must be
# running before wineboot ends (it says so on its output): on a loaded machine it may start later than that second.
krl_wine_prefix_start() {
  local keeper="$WINEPREFIX/.krl-desktop-keeper" said="$WINEPREFIX/.krl-desktop-keeper-said"
  wineserver -p
  rm -f "$keeper" "$said" && mkfifo "$keeper"
  wine cmd.exe /c "echo running& pause" 0<>"$keeper" >"$said" 2>/dev/null &
  local waited=0
  until grep -q running "$said" 2>/dev/null; do
    [ "$waited" -lt 1200 ] || { log "the desktop keeper of $WINEPREFIX did not start within 120 s"; return 1; }
    sleep 0.1
    waited=$((waited + 1))
  done
  wine wineboot </dev/null >/dev/null 2>&1 || true
}
krl_wine_server_start() {
  krl_wine_prefix_start
  if [ -d "$WINEPREFIX-win10" ]; then
    WINEPREFIX="$WINEPREFIX-win10" DISPLAY="${KRL_DISPLAY_WIN10:-$DISPLAY}" krl_wine_prefix_start
  fi
}
krl_wine_server_stop() {
  wineserver -k 2>/dev/null || true
  [ -d "$WINEPREFIX-win10" ] && { WINEPREFIX="$WINEPREFIX-win10" wineserver -k 2>/dev/null || true; }
  return 0
}

# Configures (once) and builds the project in the given build folder.
krl_build() {
  local build=$1; shift
  # Configured every time (a few seconds): folders added since the last run join the build.
  cmake -S "$KRL_ROOT" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=${KRL_BUILD_TYPE:-Release} \
        -DCMAKE_TOOLCHAIN_FILE="$KRL_ROOT/cmake/toolchain-mingw32.cmake" -DKRL_DEPS_PREFIX="$KRL_DEPS_PREFIX" >/dev/null
  cmake --build "$build" -j"$(nproc)" "$@"
}
