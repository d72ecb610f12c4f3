#!/usr/bin/env bash
# Checks a Plotwise.fmx as a FileMaker Server for Linux loads it on Ubuntu 22.04 or later: it
# needs the host's library by the host's name (libFMWrapper.so) and no other host-side library,
# carries no run path (nothing of a build tree travels with it), and asks for no symbol version
# newer than Ubuntu 22.04 has: glibc 2.35, and the libstdc++ of gcc 12 (GLIBCXX 3.4.30,
# CXXABI 1.3.13). With --one-file it needs nothing else at all but the C and C++ runtime: the
# drawing libraries are linked in.
# Usage: plugin_binary_test.sh PLUGIN [--one-file]
set -euo pipefail
plugin=$1
one_file=${2:-}
fail() { echo "FAIL: $plugin: $*" >&2; exit 1; }
[ -f "$plugin" ] || fail "no such file"

dynamic=$(readelf -d "$plugin")
needed=$(sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' <<<"$dynamic")
grep -qx 'libFMWrapper.so' <<<"$needed" || fail "does not need libFMWrapper.so: $needed"
! grep -qi 'fmhost' <<<"$needed" || fail "needs a host library a server does not have: $needed"
if [ "$one_file" = --one-file ]; then
  others=$(grep -vxE 'libFMWrapper\.so|libc\.so\.6|libm\.so\.6|libstdc\+\+\.so\.6|libgcc_s\.so\.1|ld-linux-x86-64\.so\.2' <<<"$needed" || true)
  [ -z "$others" ] || fail "needs libraries besides the host's and the C/C++ runtime: $(tr '\n' ' ' <<<"$others")"
fi
! grep -q 'R.*PATH' <<<"$dynamic" || fail "carries a run path: $(grep 'R.*PATH' <<<"$dynamic")"

# The newest version of each family the plug-in asks for, against the oldest system it must load on.
versions=$(objdump -T "$plugin" | grep -oE '\b(GLIBC|GLIBCXX|CXXABI)_[0-9.]+' | sort -u)
for limit in GLIBC_2.35 GLIBCXX_3.4.30 CXXABI_1.3.13; do
  family=${limit%_*}
  newest=$( (grep "^${family}_" <<<"$versions" || true; echo "$limit") | sed "s/^${family}_//" | sort -V | tail -1)
  [ "$newest" = "${limit#*_}" ] || fail "needs ${family}_$newest, newer than Ubuntu 22.04's ${limit}"
done
echo "plug-in binary test passed: $(basename "$plugin") needs $(tr '\n' ' ' <<<"$needed")"
