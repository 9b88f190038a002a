#!/usr/bin/env bash
# Builds Chronark into build/ (installing missing packages first) and starts it. Every argument
# goes to the program, e.g. a document to open and the switches --start and --silent.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

bash "$root/scripts/install-deps.sh"

build="${CHRONARK_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# The program and the optional About and version-check libraries beside it.
targets=(chronark)
for plugin in infopane revwatch; do
  if grep -q "add_library($plugin " "$root/plugins/CMakeLists.txt" 2>/dev/null; then
    targets+=("$plugin")
  fi
done
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start it on a desktop, or under Xvfb with" >&2
  echo "  xvfb-run -s \"-screen 0 1280x800x24\" scripts/run.sh $*" >&2
  exit 1
fi
exec "$build/bin/chronark" "$@"
