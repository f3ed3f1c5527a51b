#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent: each step is skipped when its result is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

packages=(cmake make g++-mingw-w64-i686-posix libz-mingw-w64-dev wine wine32 xvfb xauth dpkg-dev
          googletest gcc-i686-linux-gnu imagemagick x11-apps fonts-wine locales librsvg2-bin
          python3 libxtst6 ca-certificates)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

install_packages() {
  local missing=()
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    missing+=(force-update)
  fi
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  # Debian's source packages of libpng and libjpeg-turbo come through deb-src.
  if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    as_root tee /etc/apt/sources.list.d/krl-src.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    missing+=(force-update)
  fi
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing packages: ${missing[*]}"
  # A mirror caught syncing fails the update of one suite's index (bookworm-security's i386 one, say), and the
  # newest packages of the two architectures then differ: they come from the release's own suite instead, whose
  # indexes agree. Anything else that is wrong still fails the install below.
  local suite=()
  if ! as_root apt-get update -qq; then
    log "the package index update failed; installing from the bookworm suite itself"
    suite=(-t bookworm)
  fi
  local real=()
  for p in "${missing[@]}"; do [ "$p" = force-update ] || real+=("$p"); done
  [ ${#real[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${suite[@]}" "${real[@]}" >/dev/null
}

ensure_locale() {
  locale -a 2>/dev/null | grep -qi '^uk_UA\.utf-\?8$' && return 0
  log "generating the uk_UA.UTF-8 locale"
  as_root localedef -i uk_UA -f UTF-8 uk_UA.UTF-8
}

build_deps() {
  local png_ver jpeg_ver stamp want
  png_ver=$(apt-cache showsrc libpng1.6 2>/dev/null | awk '/^Version:/{print $2; exit}')
  jpeg_ver=$(apt-cache showsrc libjpeg-turbo 2>/dev/null | awk '/^Version:/{print $2; exit}')
  want="libpng1.6=$png_ver libjpeg-turbo=$jpeg_ver toolchain=$(i686-w64-mingw32-gcc-posix -dumpversion)"
  stamp="$KRL_DEPS_PREFIX/.stamp"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then return 0; fi
  log "cross-building libpng and libjpeg-turbo into $KRL_DEPS_PREFIX"
  local work; work=$(mktemp -d)
  rm -rf "$KRL_DEPS_PREFIX"; mkdir -p "$KRL_DEPS_PREFIX"
  (cd "$work" && apt-get source -qq libpng1.6 libjpeg-turbo >/dev/null 2>&1)
  local tc="$KRL_ROOT/cmake/toolchain-mingw32.cmake"
  cmake -S "$work"/libjpeg-turbo-*/ -B "$work/jpeg-build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$tc" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$KRL_DEPS_PREFIX" -DENABLE_SHARED=OFF \
        -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF >/dev/null
  cmake --build "$work/jpeg-build" -j"$(nproc)" >/dev/null
  cmake --install "$work/jpeg-build" >/dev/null
  cmake -S "$work"/libpng1.6-*/ -B "$work/png-build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$tc" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$KRL_DEPS_PREFIX" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
  cmake --build "$work/png-build" -j"$(nproc)" >/dev/null
  cmake --install "$work/png-build" >/dev/null
  rm -rf "$work"
  echo "$want" > "$stamp"
}

install_packages
ensure_locale
build_deps
