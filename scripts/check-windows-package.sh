#!/usr/bin/env bash
# Checks the Windows package as a user gets it (run by the Windows build's tests):
#   check-windows-package.sh BUILD_WIN LINUX_BUILD OBJDUMP START_CHECK.exe
# Makes the zip from BUILD_WIN (scripts/package-windows.sh), unpacks it into a fresh folder and
# runs it in a fresh wine prefix: its files are there (はじめに.txt UTF-8 with a byte order mark
# and CR LF line ends, the licences, the examples, the manual beside vmk.exe), every program imports only DLLs of Windows,
# vmk.exe shows its window and ends cleanly when it is closed (START_CHECK.exe,
# tools/window_start_check.cpp, on a virtual X server when there is no display), and
# vmk-calc.exe gives the bytes of the Linux vmk-calc of LINUX_BUILD for the examples.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(realpath "$1")"
linux="$(realpath "$2")"
objdump="$3"
start_check="$(realpath "$4")"

work="$build/package-check"
prefix="$work/wine"
# Ends the wine processes of the check's own prefix (a wine server lingers after a program).
end_wine() {
  if [ -d "$prefix" ]; then WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; fi
}
end_wine
rm -rf "$work"
mkdir -p "$work"
fail=0
problem() {
  echo "PACKAGE: $*"
  fail=1
}

zip="$("$root/scripts/package-windows.sh" "$build" "$work/dist")"
mkdir "$work/unpacked"
(cd "$work/unpacked" && LC_ALL=C.UTF-8 cmake -E tar xf "$zip")
name="$(basename "$zip" .zip)"
folder="$work/unpacked/$name"
[ -d "$folder" ] || { echo "PACKAGE: the zip has no folder $name"; exit 1; }

for file in vmk.exe vmk-calc.exe vmk-met.exe vmk-site.exe はじめに.txt licenses/README.txt licenses/gcc-runtime.txt \
  licenses/mingw-w64.txt licenses/CLI11.txt licenses/nlohmann-json.txt licenses/Boost.txt \
  examples/site.json examples/met/hourly-sample.csv manual/index.html manual/manual.css; do
  [ -s "$folder/$file" ] || problem "$file is missing or empty"
done
for text in "$folder/はじめに.txt" "$folder"/licenses/*.txt; do
  [ -f "$text" ] || continue
  if grep -q $'[^\r]$' "$text" || grep -qx '' "$text"; then problem "$(basename "$text") has a line not ending in CR LF"; fi
done
if [ -f "$folder/はじめに.txt" ]; then
  [ "$(head -c 3 "$folder/はじめに.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    problem "はじめに.txt has no UTF-8 byte order mark"
  tail -c +4 "$folder/はじめに.txt" | iconv -f UTF-8 -t UTF-16 >/dev/null 2>&1 ||
    problem "はじめに.txt is not UTF-8"
fi

"$root/scripts/compare-windows.sh" dlls "$objdump" "$folder"/*.exe || fail=1

# A fresh prefix, as on a machine that never ran the program.
cp "$start_check" "$work/start-check.exe"
if ! "$root/scripts/wine-run.sh" "$prefix" --gui "$work/start-check.exe" \
  "$(cd "$folder" && pwd)/vmk.exe" "VMK - 1"; then
  problem "vmk.exe did not show its window and end cleanly"
fi

# vmk-calc.exe of the package against the Linux vmk-calc: the same case files, by the same
# relative names, from within the unpacked folder, each with an empty report file in io/.
for args in "examples/site.json" "--json examples/site.json" "--json examples/defaults.json" \
  "--report-dir io/ examples/site-no2-report.json" "--profile 10:20000:50 --log examples/site.json"; do
  read -ra argv <<< "$args"
  for side in linux windows; do
    rm -rf "$folder/io"
    mkdir "$folder/io"
    : > "$folder/io/VMKIO1.csv"
    status=0
    if [ "$side" = linux ]; then
      (cd "$folder" && "$linux/bin/vmk-calc" "${argv[@]}" > "$work/$side.out" 2> "$work/$side.err") || status=$?
    else
      (cd "$folder" && "$root/scripts/wine-run.sh" "$prefix" ./vmk-calc.exe "${argv[@]}" \
        > "$work/$side.out" 2> "$work/$side.err") || status=$?
    fi
    echo "$status" > "$work/$side.status"
    cp "$folder/io/VMKIO1.csv" "$work/$side.report"
  done
  rm -rf "$folder/io"
  if [[ "$args" == *--report-dir* ]] && [ ! -s "$work/linux.report" ]; then
    problem "vmk-calc $args wrote no report"
  fi
  for part in out err status report; do
    cmp -s "$work/linux.$part" "$work/windows.$part" || problem "vmk-calc.exe $args: its $part differs from Linux"
  done
done
end_wine
[ -s "$work/linux.out" ] || problem "the Linux vmk-calc printed nothing"

if [ "$fail" = 0 ]; then
  echo "package $name: files, DLLs, the window and vmk-calc.exe as expected"
  rm -rf "$work"
fi
exit "$fail"
