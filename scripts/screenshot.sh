#!/usr/bin/env bash
# Takes the documentation pictures of the window: fills a sample case, runs one calculation
# and saves one PNG per tab page (docs/window-source.png, window-met.png, window-calc.png,
# window-profile.png) and two of the manual (window-manual.png, window-manual-conditions.png).
# The window runs on a virtual X server (xvfb-run), so no screen is needed.
#   scripts/screenshot.sh [OUTPUT_DIR]      (default docs/; VMK_BUILD_DIR overrides build/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VMK_BUILD_DIR:-$root/build}"
out="$(mkdir -p "${1:-$root/docs}" && cd "${1:-$root/docs}" && pwd)"

if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing (Debian package xvfb)" >&2
  exit 1
fi
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target vmk >/dev/null

runtime="$(mktemp -d)"
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$runtime" VMK_SCREENSHOT_DIR="$out" \
  timeout 120 xvfb-run -a -s "-screen 0 1024x800x24" "$build/bin/vmk"
for page in source met calc profile manual manual-conditions; do
  test -s "$out/window-$page.png" || { echo "missing: $out/window-$page.png" >&2; exit 1; }
  echo "$out/window-$page.png"
done
