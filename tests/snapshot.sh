#!/usr/bin/env bash
# Writes what every example, gallery, real-data and hard-case script returns, as files to
# compare byte for byte before and after a change that must not move a pixel:
#   NAME.ttf.pwcf   the container (every stream, the GIF among them) with the TrueType fonts
#   NAME.bitmap.pwcf the same with no font file to be found (the built-in bitmap fonts)
#   NAME.svg        the SVG export with the TrueType fonts
# A script that fails leaves NAME.*.log. Compare two snapshots with `diff -r A B` (or
# tests/snapshot.sh --compare A B, which names the scripts that differ).
#
# Usage: tests/snapshot.sh BUILD_DIR OUT_DIR          (a Linux build, or a Windows one under Wine)
#        tests/snapshot.sh --compare OLD_DIR NEW_DIR
set -uo pipefail

if [[ "${1:-}" == "--compare" ]]; then
    old="$2" new="$3" differ=0
    for f in "$old"/*; do
        name="$(basename "$f")"
        [[ "$name" == *.log ]] && continue
        if ! cmp -s "$f" "$new/$name"; then echo "differs: $name"; differ=$((differ + 1)); fi
    done
    echo "snapshot: $differ files differ"
    [[ $differ -eq 0 ]]
    exit
fi

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
out="$2"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
program=("$build/plotwise")
# A Windows build's program runs under Wine (in the prefix WINEPREFIX names).
[[ -f "$build/plotwise.exe" ]] && program=(wine "$build/plotwise.exe")

for script in "$root"/examples/*.calc "$root"/examples/{gallery,real_data,hard_cases}/*.calc; do
    folder="$(dirname "$script")"
    name="$(basename "$folder")-$(basename "$script" .calc)"
    options=()
    while read -r line; do
        for word in $line; do
            if [[ "$word" == *=* && -e "$folder/${word#*=}" ]]; then
                word="${word%%=*}=$folder/${word#*=}"
            fi
            options+=("$word")
        done
    done < <(sed -n 's|^// options: *||p' "$script")
    run() { (cd "$folder" && "${program[@]}" run "$script" ${options[@]+"${options[@]}"} "$@"); }
    run --container "$out/$name.ttf.pwcf" >"$out/$name.ttf.log" 2>&1 && rm -f "$out/$name.ttf.log"
    GDFONTPATH=/nonexistent run --container "$out/$name.bitmap.pwcf" >"$out/$name.bitmap.log" 2>&1 &&
        rm -f "$out/$name.bitmap.log"
    run -o "$out/$name.svg" >/dev/null 2>&1 || rm -f "$out/$name.svg"
done
echo "snapshot: $(ls "$out" | grep -c pwcf) containers in $out"
