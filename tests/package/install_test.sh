#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root (dpkg -x, as dpkg would install it,
# but relocated) and runs the program installed there: it must find its host library, the
# plug-in and the font map from where it stands, without the build tree.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack could not build the package"; }
debs=("$scratch"/package/*.deb)
[ -f "${debs[0]}" ] || fail "no .deb was written"
deb=${debs[0]}

# The package declares the fonts the program maps to and falls back to, and the drawing
# libraries exactly when the plug-in loads them (not when they are linked in).
depends=$(dpkg-deb -f "$deb" Depends)
plugin_needs=$(readelf -d "$build/Plotwise.fmx")
for needed in fonts-liberation fonts-dejavu-core fonts-droid-fallback fonts-nanum libgd3:libgd.so.3 \
              libfreetype6:libfreetype.so.6 libcairo2:libcairo.so.2 libharfbuzz0b:libharfbuzz.so.0 \
              libfribidi0:libfribidi.so.0; do
  package=${needed%%:*}
  library=${needed#*:}
  declared=no
  [[ ", $depends," == *", $package,"* ]] && declared=yes
  if [[ "$needed" == *:* && "$plugin_needs" != *"[$library]"* ]]; then
    [ $declared = no ] || fail "Depends names $package, which the plug-in does not load: $depends"
  else
    [ $declared = yes ] || fail "Depends lacks $package: $depends"
  fi
done

dpkg -x "$deb" "$scratch/root"
program=$scratch/root/usr/bin/plotwise
[ -x "$program" ] || fail "no usr/bin/plotwise in the package"
plugins=("$scratch"/root/usr/lib*/plotwise/Plotwise.fmx)
[ -f "${plugins[0]}" ] || fail "no plug-in under usr/lib*/plotwise"
# The installed plug-in is what a server gets; the stand-in stays out of its folder, so that
# copying the folder into a server's Extensions never brings it along.
bash "$source/tests/package/plugin_binary_test.sh" "${plugins[0]}" >/dev/null || fail "the installed plug-in would not load in a server"
[ ! -e "$(dirname "${plugins[0]}")/libFMWrapper.so" ] || fail "the stand-in lies beside the plug-in"
[ -f "$scratch/root/usr/share/doc/plotwise/README.md" ] || fail "no README under usr/share/doc/plotwise"

# The host stand-in comes from the unpacked root, not from the build tree.
# (ldd's output is taken whole first: grep -q would stop reading early, and under pipefail
# the broken pipe would fail the test.)
libraries=$(ldd "$program")
[[ "$libraries" == *"libFMWrapper.so => $scratch/root/"* ]] || fail "plotwise does not load the installed libFMWrapper.so: $libraries"

cd "$scratch"
version=$(env -u GDFONTPATH "$program" --version) || fail "plotwise --version failed"
[ "$version" = "Norvane Plotwise Plug-In 1.3" ] || fail "plotwise --version printed \"$version\""

# A chart with TrueType titles: the installed font map must give the same picture as the
# build tree's, and not the picture of the built-in fonts.
script='Plotz_Draw ( Plotz_Font ( Plotz_Titles ( Plotz_Data ( Plotz_New ; "Jan;Feb;Mar" ; "10;20;30" ; 255 ; "Sales" ) ;
        "Quarter" ; "Month" ; "Units" ) ; "charttitle" ; "Arial.ttf" ; 18 ) ; 320 ; 240 )'
env -u GDFONTPATH "$program" eval "$script" -o installed.gif || fail "the installed plotwise could not draw"
env -u GDFONTPATH "$build/plotwise" eval "$script" -o built.gif || fail "the built plotwise could not draw"
GDFONTPATH=/nonexistent "$program" eval "$script" -o builtin.gif || fail "plotwise could not draw with built-in fonts"
cmp -s installed.gif built.gif || fail "the installed program draws the TrueType title differently from the built one"
! cmp -s installed.gif builtin.gif || fail "the installed program did not find the mapped font"

"$program" run "$source/examples/sales.calc" -o sales.png || fail "plotwise run examples/sales.calc failed"
[ "$(head -c 8 sales.png | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "sales.png is not a PNG"
echo "package test passed: $(basename "$deb")"
