#!/usr/bin/env bash
# The real playout server, CasparCG Server 2.5.0, for the tests that need its own answers (Linux,
# as root).
#
#   tests/realserver/casparcg.sh prepare              makes sure the server is in the cache; prints its path
#   tests/realserver/casparcg.sh start DIR [N [MODE]]  starts it with N channels (default 2) of MODE
#                                                    (default 1080i5000), config and logs in DIR, on a
#                                                    free port; prints "PORT PID" once it listens
#   tests/realserver/casparcg.sh stop PID              stops it, and waits until it has ended
#   tests/realserver/casparcg.sh isolated COMMAND...   prepares the server, then runs COMMAND in a network
#                                                    namespace of its own with only loopback up (the
#                                                    server listens on every interface); exits 77 with
#                                                    the reason where that cannot be had
#
# The server is kept outside the tree, in $PLINTOR_CASPARCG (default
# /var/cache/plintor/casparcg-server-2.5.0). When that folder is absent or incomplete, the build in
# ../shared/casparcg-server/ beside the source tree is unpacked into it if it runs here (its
# libraries installed with apt, then checked with ldd), or else the server is built from the source
# there (about 6 minutes on two cores).
set -euo pipefail

SOURCE="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
SHARED="$SOURCE/../shared/casparcg-server"
CACHE="$(realpath -m "${PLINTOR_CASPARCG:-/var/cache/plintor/casparcg-server-2.5.0}")"
BINARY="$CACHE/bin/casparcg"
export DEBIAN_FRONTEND=noninteractive

say() { printf '== %s\n' "$*" >&2; }

# What the prebuilt server links, as Debian 12 names the packages.
RUNTIME=(libavcodec59 libavdevice59 libavfilter8 libavformat59 libavutil57 libpostproc56 libswresample4
  libswscale6 libboost-context1.74.0 libboost-coroutine1.74.0 libboost-filesystem1.74.0
  libboost-locale1.74.0 libboost-log1.74.0 libboost-regex1.74.0 libboost-thread1.74.0 libglew2.2 libopenal1
  libsfml-graphics2.5 libsfml-system2.5 libsfml-window2.5 libtbb12 libegl1 libgl1 libopengl0 libgl1-mesa-dri
  libicu72 libjpeg62-turbo)
BUILD_DEPENDS=(cmake ninja-build g++ pkg-config zlib1g-dev libavcodec-dev libavdevice-dev libavfilter-dev
  libavformat-dev libavutil-dev libpostproc-dev libswresample-dev libswscale-dev libboost-coroutine-dev
  libboost-date-time-dev libboost-dev libboost-filesystem-dev libboost-locale-dev libboost-log-dev
  libboost-regex-dev libboost-system-dev libboost-thread-dev libicu-dev libglew-dev libjpeg-dev libopenal-dev
  libsfml-dev libsimde-dev libtbb-dev libxrandr-dev libgl1-mesa-dev libegl1-mesa-dev libglu1-mesa-dev
  libx11-dev libgl1-mesa-dri fonts-liberation)

links() { [[ -x $1 ]] && ! ldd "$1" 2>/dev/null | grep -q 'not found'; }

# Installs only what is missing: a cached run asks apt nothing.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  ((${#missing[@]} == 0)) && return 0
  apt-get update >&2 && apt-get install -y --no-install-recommends "${missing[@]}" >&2
}

unpack() {
  rm -rf "$CACHE.part" && mkdir -p "$CACHE.part"
  tar -xzf "$SHARED/casparcg-server-2.5.0-deb12-x86_64.tar.gz" -C "$CACHE.part"
  install_packages "${RUNTIME[@]}" || true
  links "$CACHE.part/bin/casparcg"
}

build() {
  install_packages "${BUILD_DEPENDS[@]}"
  local work="$CACHE.part/work"
  rm -rf "$CACHE.part" && mkdir -p "$work"
  tar -xJf "$SHARED/casparcg-server-2.5.0-stable-src.tar.xz" -C "$work"
  # Without the HTML producer, whose browser engine is downloaded at build time.
  cmake -G Ninja -S "$work"/casparcg-server-*/src -B "$work/build" -DENABLE_HTML=OFF -DCMAKE_BUILD_TYPE=Release \
    -DDIAG_FONT_PATH=/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf >&2
  ninja -C "$work/build" -j "${PLINTOR_JOBS:-2}" >&2
  cmake --install "$work/build" --prefix "$CACHE.part" >&2
  rm -rf "$work"
}

prepare() {
  if [[ -f $CACHE/.plintor-complete ]] && links "$BINARY"; then
    echo "$BINARY"
    return
  fi
  # The libraries of a cached server that was once complete may have gone: install them again.
  if [[ -f $CACHE/.plintor-complete ]]; then
    install_packages "${RUNTIME[@]}" || true
    links "$BINARY" && { echo "$BINARY"; return; }
  fi
  if [[ -f $SHARED/casparcg-server-2.5.0-deb12-x86_64.tar.gz ]] && { say "server: unpacking the build into $CACHE"; unpack; }; then
    :
  else
    say "server: the build does not run here; building it from the source into $CACHE"
    build
  fi
  links "$CACHE.part/bin/casparcg" || { say "server: bin/casparcg does not link"; exit 1; }
  touch "$CACHE.part/.plintor-complete"
  rm -rf "$CACHE" && mv "$CACHE.part" "$CACHE"
  echo "$BINARY"
}

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

start() {
  local dir channels mode port pid i
  dir="$(realpath -m "$1")"
  channels="${2:-2}"
  mode="${3:-1080i5000}"
  mkdir -p "$dir/media" "$dir/log" "$dir/data" "$dir/template"
  # A port that nothing listens on, from a range that ephemeral ports leave alone.
  for ((i = 0; i < 100; ++i)); do
    port=$((20000 + RANDOM % 12000))
    listening "$port" || break
  done
  {
    printf '<?xml version="1.0" encoding="utf-8"?>\n<configuration>\n  <paths>\n'
    printf '    <media-path>%s/media/</media-path>\n    <log-path>%s/log/</log-path>\n' "$dir" "$dir"
    printf '    <data-path>%s/data/</data-path>\n    <template-path>%s/template/</template-path>\n' "$dir" "$dir"
    printf '  </paths>\n  <channels>\n'
    for ((i = 0; i < channels; ++i)); do
      printf '    <channel><video-mode>%s</video-mode><consumers/></channel>\n' "$mode"
    done
    printf '  </channels>\n  <controllers>\n    <tcp><port>%s</port><protocol>AMCP</protocol></tcp>\n' "$port"
    printf '  </controllers>\n</configuration>\n'
  } >"$dir/casparcg.config"
  # Headless: Mesa's software renderer, no display.
  (cd "$dir" && exec env -u DISPLAY EGL_PLATFORM=surfaceless LIBGL_ALWAYS_SOFTWARE=1 \
    "$BINARY" "$dir/casparcg.config" </dev/null >"$dir/server.out" 2>&1) &
  pid=$!
  for ((i = 0; i < 300; ++i)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      say "server: ended before it listened; its output:"
      tail -n 20 "$dir/server.out" >&2
      exit 1
    fi
    if listening "$port"; then
      echo "$port $pid"
      return
    fi
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  say "server: not listening on port $port after 30 s"
  exit 1
}

stop() {
  local pid="$1" i
  kill -TERM "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 100; ++i)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

isolated() {
  local why=""
  if [[ $(uname -s) != Linux ]]; then
    why="the real server runs on Linux only"
  elif ((EUID != 0)); then
    why="a network namespace of its own needs root"
  elif ! command -v unshare >/dev/null || ! command -v ip >/dev/null; then
    why="unshare or ip (util-linux, iproute2) is missing"
  elif ! unshare -n true 2>/dev/null; then
    why="unshare -n is not allowed here"
  fi
  if [[ -n $why ]]; then
    echo "SKIPPED: $why" >&2
    exit 77
  fi
  prepare >/dev/null # out here, where apt can reach its mirrors
  exec unshare -n sh -c 'ip link set lo up && exec "$@"' isolated "$@"
}

case "${1:-}" in
  prepare) prepare ;;
  start) shift; BINARY="$(prepare)"; start "$@" ;;
  stop) stop "$2" ;;
  isolated) shift; isolated "$@" ;;
  *) sed -n '2,/^set -euo/p' "$0" | sed '$d' >&2; exit 2 ;;
esac
