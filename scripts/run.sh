#!/usr/bin/env bash
# Installs what is missing, builds the program (release build in build/) and
# starts it. Without a real web API configured (ZOCUT_API_BASE), the local
# stand-in for the online services is started first on 127.0.0.1:8765 and
# stopped again when the program ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="${ZOCUT_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZOCUT_BUILD_TESTS=OFF \
  -DZOCUT_SANITIZE= -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build "$build" -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "ZoCut is built ($build/zocut) but not started: it is a desktop program and" >&2
  echo "needs a display, and DISPLAY is not set. Run this from a desktop session." >&2
  exit 1
fi

port=8765
listening() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

if [ -z "${ZOCUT_API_BASE:-}" ]; then
  if listening; then
    echo "Something already listens on 127.0.0.1:$port; using it as the online services."
  else
    data="${XDG_DATA_HOME:-$HOME/.local/share}/zocut-standin"
    "$build/standin/zocut-standin" --port "$port" --data "$data" >/dev/null &
    standin=$!
    trap 'kill "$standin" 2>/dev/null || true' EXIT
    for _ in $(seq 50); do listening && break; sleep 0.1; done
    listening || { echo "The local stand-in did not start on port $port." >&2; exit 1; }
    echo "Local stand-in for the online services on http://127.0.0.1:$port/"
  fi
  echo "Sign in with account 13800000001, password zocut123."
fi
"$build/zocut"
