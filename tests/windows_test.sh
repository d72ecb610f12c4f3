#!/usr/bin/env bash
# The Windows build under Wine, in a fresh Wine prefix made for the run (headless: no display,
# WINEDEBUG=-all), with the fonts a Windows machine has put in its C:\windows\Fonts: the
# Liberation fonts under the Windows names (the Linux build's font map), the fonts the scripts
# name by file, and the fallback fonts under the names of Windows' own.
#   1. the plug-in: one export, FMExternCallProc, and no DLL beside FMWrapper.dll but Windows' own
#   2. plotwise.exe: the plug-in starts, registers its functions and answers Plotz_Version
#   3. every example, gallery, real-data and hard-case script: its container (the GIF among its
#      streams), the same with the built-in fonts, and its SVG export, byte for byte as the
#      Linux build makes them; PNG and PDF exports of a chart
#   4. the test programs built for Windows, when the build has them (ctest)
# Usage: tests/windows_test.sh WINDOWS_BUILD LINUX_BUILD
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
win="$(cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "==> $*"; }

scratch="$(mktemp -d /tmp/plotwise-windows.XXXXXX)"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY GDFONTPATH
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

# ---- 1. The plug-in's binary --------------------------------------------------------------------
step "Plotwise.fmx64: exports and imports"
plugin="$win/Plotwise.fmx64"
[[ -f "$plugin" ]] || fail "no $plugin"
dump="$(x86_64-w64-mingw32-objdump -p "$plugin")"
exports="$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p')"
[[ "$exports" == "FMExternCallProc" ]] || fail "the plug-in exports more or other than FMExternCallProc: $exports"
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")"
others="$(grep -viE '^(FMWrapper|KERNEL32|msvcrt|ADVAPI32|USER32|GDI32|SHELL32|ole32|WS2_32|api-ms-win-[a-z0-9-]+)\.dll$' <<<"$imports" || true)"
[[ -z "$others" ]] || fail "the plug-in needs DLLs a Windows machine does not have: $others"
grep -qx 'FMWrapper.dll' <<<"$imports" || fail "the plug-in does not import FMWrapper.dll: $imports"
echo "exports FMExternCallProc; imports $(tr '\n' ' ' <<<"$imports")"

# ---- The prefix and its fonts -------------------------------------------------------------------
step "a fresh Wine prefix"
wineboot -i >/dev/null 2>&1 || fail "wineboot could not make a prefix"
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
link_font() { [[ -e "$fonts/$2" ]] || ln -s "$1" "$fonts/$2"; }
for alias in "$linux"/fonts/*; do
    link_font "$(readlink -f "$alias")" "$(basename "$alias")"
done
# The folders the Linux program searches by file name (app/font_path.cpp).
for folder in /usr/share/fonts/truetype /usr/share/fonts/truetype/liberation \
              /usr/share/fonts/truetype/liberation2 /usr/share/fonts/truetype/dejavu \
              /usr/share/fonts/TTF /usr/share/fonts /usr/local/share/fonts; do
    for file in "$folder"/*.tt[fc] "$folder"/*.otf; do
        [[ -f "$file" ]] && link_font "$file" "$(basename "$file")"
    done
done
# The fallback chain: fontconfig's families on Linux, Windows' fonts of the same scripts here.
for pair in "DejaVu Sans:segoeui.ttf" "Droid Sans Fallback:msyh.ttc" "NanumGothic:malgun.ttf"; do
    file="$(fc-match -f '%{file}' "${pair%%:*}")"
    [[ "$(fc-match -f '%{family}' "${pair%%:*}")" == *"${pair%%:*}"* ]] && link_font "$file" "${pair#*:}"
done
echo "$(ls "$fonts" | wc -l) fonts in C:\\windows\\Fonts"

# ---- 2. The program and the plug-in -------------------------------------------------------------
step "plotwise.exe: start-up, registration, Plotz_Version"
version="$(wine "$win/plotwise.exe" eval 'Plotz_Version ( "long" )' | tr -d '\r')"
expected="$("$linux/plotwise" eval 'Plotz_Version ( "long" )')"
[[ "$version" == "$expected" ]] || fail "Plotz_Version ( \"long\" ) is '$version', not '$expected'"
echo "$version"

# ---- 3. Every script, against the Linux build -----------------------------------------------------
step "every example, gallery, real-data and hard-case script, against the Linux build"
bash "$root/tests/snapshot.sh" "$linux" "$scratch/linux" >/dev/null
bash "$root/tests/snapshot.sh" "$win" "$scratch/windows" >/dev/null
bash "$root/tests/snapshot.sh" --compare "$scratch/linux" "$scratch/windows" ||
    fail "the Windows build draws differently from the Linux build"
count="$(ls "$scratch/linux" | grep -c -E '\.(pwcf|svg)$')"
[[ "$count" -gt 0 ]] || fail "the scripts made nothing"

step "exports: PNG, SVG and PDF of a chart"
chart="$scratch/linux/examples-sales.ttf.pwcf"
[[ -f "$chart" ]] || fail "no chart to export"
for format in png svg pdf; do
    call="Plotz_Export ( \$chart ; \"$format\" )"
    "$linux/plotwise" eval "$call" --var "chart=@$chart" --container "$scratch/export-linux.$format" >/dev/null
    # A Wine client error very rarely ends a run; a second try tells it from a real failure.
    wine "$win/plotwise.exe" eval "$call" --var "chart=@$chart" --container "$scratch/export-windows.$format" >/dev/null ||
        wine "$win/plotwise.exe" eval "$call" --var "chart=@$chart" --container "$scratch/export-windows.$format" >/dev/null ||
        fail "plotwise.exe could not export $format"
    # A PDF carries the time it was made, and Cairo names a font subset by a hash of glyph
    # numbers held in a long, whose width differs between the platforms.
    strip() {
        if [[ $format == pdf ]]; then grep -av 'Date (D:' "$1" | sed -E 's#/[A-Z]{6}\+#/SUBSET+#g'; else cat "$1"; fi
    }
    cmp -s <(strip "$scratch/export-linux.$format") <(strip "$scratch/export-windows.$format") ||
        fail "the $format export differs from the Linux build's"
done
echo "the same bytes as the Linux build's"

# ---- 4. The tests ----------------------------------------------------------------------------------
if [[ -f "$win/CTestTestfile.cmake" ]] && ls "$win"/test_*.exe >/dev/null 2>&1; then
    step "the test programs under Wine"
    # A Wine client error very rarely fails a run; a second try tells it from a real failure.
    (cd "$win" && ctest -j 2 --output-on-failure --repeat until-pass:2 -E '^(include_layers|plugin_binary|package_install)')
fi
echo "windows test passed"
