#!/usr/bin/env bash
# Makes the Windows package dist/vmk-<version>-win64.zip from a built Windows build:
#   scripts/package-windows.sh [BUILD_DIR [OUTPUT_DIR]]   (defaults build-win/ and dist/)
# The zip holds one folder vmk-<version>-win64/ with the programs (statically linked, each one
# file), the manual (manual/, HTML, where vmk.exe looks for it on F1), the examples, はじめに.txt (UTF-8 with a byte order mark and CR LF line ends, as Notepad
# of every Windows reads it) and licenses/ with the notices of what is linked in. The programs
# must be built (./test builds them); the script builds nothing. Prints the zip's path.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(realpath -m "${1:-$root/build-win}")"
out="$(realpath -m "${2:-$root/dist}")"

if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "package-windows.sh: $build is not a build folder (build the Windows programs first)" >&2
  exit 1
fi
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
if [ -z "$version" ]; then
  echo "package-windows.sh: no project version in $build/CMakeCache.txt" >&2
  exit 1
fi

# The programs of the package.
programs=(vmk vmk-calc vmk-met vmk-site)
for program in "${programs[@]}"; do
  if [ ! -f "$build/bin/$program.exe" ]; then
    echo "package-windows.sh: $build/bin/$program.exe is missing (build the Windows programs first)" >&2
    exit 1
  fi
done

# The licence texts: the Debian copyright files of the packages the programs were built with.
gcc_copyright=/usr/share/doc/gcc-mingw-w64-base/copyright
mingw_copyright=/usr/share/doc/mingw-w64-common/copyright
cli11_copyright=/usr/share/doc/libcli11-dev/copyright
json_copyright=/usr/share/doc/nlohmann-json3-dev/copyright
boost_copyright=""
for candidate in /usr/share/doc/libboost-math*-dev/copyright /usr/share/doc/libboost[0-9]*-dev/copyright; do
  if grep -qs "Boost Software License - Version 1.0" "$candidate"; then boost_copyright="$candidate"; break; fi
done
for file in "$gcc_copyright" "$mingw_copyright" "$cli11_copyright" "$json_copyright" "$boost_copyright"; do
  if [ ! -f "$file" ]; then
    echo "package-windows.sh: the licence file ${file:-of Boost.Math (libboost-math-dev)} is missing" >&2
    exit 1
  fi
done

name="vmk-$version-win64"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
folder="$work/$name"
mkdir -p "$folder/licenses"

# Text for Windows: CR LF line ends (an existing CR is kept), and a byte order mark for UTF-8.
windows_text() {
  local bom="$1" from="$2" to="$3"
  { [ "$bom" = bom ] && printf '\xEF\xBB\xBF'; sed 's/\r$//; s/$/\r/' "$from"; } > "$to"
}

for program in "${programs[@]}"; do
  cp "$build/bin/$program.exe" "$folder/"
  # Without debug information and symbols: the programs are the size users download.
  "${OBJCOPY:-x86_64-w64-mingw32-objcopy}" --strip-all "$folder/$program.exe"
done
cp -r "$root/examples" "$folder/examples"
if [ ! -f "$root/docs/manual/index.html" ]; then
  echo "package-windows.sh: the manual $root/docs/manual/index.html is missing" >&2
  exit 1
fi
cp -r "$root/docs/manual" "$folder/manual"
windows_text bom "$root/packaging/windows/はじめに.txt" "$folder/はじめに.txt"
windows_text plain "$root/packaging/windows/licenses.txt" "$folder/licenses/README.txt"
windows_text plain "$gcc_copyright" "$folder/licenses/gcc-runtime.txt"
windows_text plain "$mingw_copyright" "$folder/licenses/mingw-w64.txt"
windows_text plain "$cli11_copyright" "$folder/licenses/CLI11.txt"
windows_text plain "$json_copyright" "$folder/licenses/nlohmann-json.txt"
# Boost's copyright file lists every library of Boost; its licence paragraph is the one that
# applies to the Math headers.
awk '/^License: BSL-1.0$/ { grab = 1; next }
     grab && /^ Boost Software License/ { text = 1 }
     grab && !/^ / { if (text) exit; grab = 0 }
     text { line = substr($0, 2); if (line == ".") line = ""; print line }' \
  "$boost_copyright" > "$work/boost.txt"
if ! grep -q "Boost Software License - Version 1.0" "$work/boost.txt"; then
  echo "package-windows.sh: no Boost Software License text in $boost_copyright" >&2
  exit 1
fi
windows_text plain "$work/boost.txt" "$folder/licenses/Boost.txt"

# Every file dated by the last commit, names in order. cmake's zip marks the Japanese file
# name as UTF-8, which Windows' Explorer reads (a C locale would refuse it).
find "$folder" -exec touch -h -d "@$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)" {} +
mkdir -p "$out"
zip="$out/$name.zip"
rm -f "$zip"
(cd "$work" && find "$name" -type f | LC_ALL=C sort > files.txt &&
  LC_ALL=C.UTF-8 cmake -E tar cf "$zip" --format=zip --files-from=files.txt)
echo "$zip"
