#!/usr/bin/env bash
# Takes the documentation picture of the Windows window under wine: the sample case calculated,
# its page 気象条件 (the grid's totals, the results and the status line), as the screen of a
# virtual X server shows it (import -window root), cut to the window: docs/windows-window.png.
#   scripts/windows-screenshot.sh [OUTPUT_DIR]    (default docs/; VMK_BUILD_WIN_DIR overrides build-win/)
# VMK_ALL_PAGES=1 also writes windows-page-0.png to windows-page-3.png, every page, to look at.
# Needs the Windows build, xvfb-run and ImageMagick's import and convert.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VMK_BUILD_WIN_DIR:-$root/build-win}"
out="$(mkdir -p "${1:-$root/docs}" && cd "${1:-$root/docs}" && pwd)"
for tool in xvfb-run import convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing (Debian packages xvfb, imagemagick)" >&2
    exit 1
  fi
done
cmake --build "$build" --target vmk-window-picture >/dev/null

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
ready="$work/ready"
pages=(1)
if [ "${VMK_ALL_PAGES:-0}" = 1 ]; then pages=(0 1 2 3); fi
timeout 300 "$root/scripts/wine-run.sh" "$build/wine-gui" --gui "$build/bin/vmk-window-picture.exe" \
  "$(winepath -w "$ready" 2>/dev/null || echo "Z:${ready//\//\\}")" "${pages[@]}" &
runner=$!
for page in "${pages[@]}"; do
  for _ in $(seq 1 1200); do
    [ -s "$ready" ] && break
    kill -0 "$runner" 2>/dev/null || { echo "vmk-window-picture ended early" >&2; exit 1; }
    sleep 0.1
  done
  read -r shown left top width height < "$ready"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${width}x${height}+${left}+${top}" +repage "$work/page-$shown.png"
  if [ "$shown" = 1 ]; then cp "$work/page-1.png" "$out/windows-window.png"; fi
  if [ "${VMK_ALL_PAGES:-0}" = 1 ]; then cp "$work/page-$shown.png" "$out/windows-page-$shown.png"; fi
  rm -f "$ready"
done
wait "$runner"
ls "$out"/windows-*.png
