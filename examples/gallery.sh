#!/usr/bin/env bash
# Renders every script of examples/gallery/ with the built plotwise program into
# out/gallery/NAME.png (the GIF as it is stored, converted), NAME-2x.png (drawn as vectors at
# twice the size), NAME.svg and NAME.pdf, and writes out/gallery/index.html: the GIF and the
# 2x PNG side by side, links to the SVG and the PDF, and the script. The scripts of
# examples/real_data/ (tables as a database gives them) go the same way into
# out/gallery/real_data-NAME.* and out/gallery/real_data.html, linked from the index, and those
# of them named values-*.calc (every value drawn at its value, drawn as missing or said on the
# picture) once more on out/gallery/values.html; the
# scripts of examples/hard_cases/ (long titles and names, many series, huge pictures) into
# out/gallery/hard_cases-NAME.* and out/gallery/hard_cases.html.
#
# A script may name extra plotwise options on a line "// options: ..." (paths in it are taken
# relative to the script's folder), e.g. "// options: --table Orders=orders.csv".
#
# Usage: examples/gallery.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, out/gallery)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
out="${2:-$root/out/gallery}"
gallery="$root/examples/gallery"
program="$(cd "$build" 2>/dev/null && pwd)/plotwise"

if [[ ! -x "$program" ]]; then
    echo "gallery: no plotwise program in $build: build it first" >&2
    exit 1
fi
mkdir -p "$out"
out="$(cd "$out" && pwd)"

html_escape() {
    sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' "$1"
}

# Writes the head of a page titled $2 into file $1.
page_head() {
    {
        echo '<!DOCTYPE html>'
        echo "<html><head><meta charset=\"utf-8\"><title>$2</title>"
        echo '<style>'
        echo 'body{font-family:sans-serif;margin:2em;background:#f4f4f4}'
        echo '.item{display:flex;gap:2em;align-items:flex-start;background:#fff;margin:1em 0;padding:1em;border:1px solid #ccc}'
        echo '.pictures{display:flex;gap:1em;align-items:flex-start}'
        echo 'figure{margin:0}figcaption{font-size:12px;color:#555}'
        echo 'pre{font-size:12px;margin:0;white-space:pre-wrap;max-width:60em}'
        echo 'h2{font-size:15px;margin:0 0 .5em 0}'
        echo '.failed{color:#b00}'
        echo '</style></head><body>'
        echo "<h1>$2</h1>"
    } >"$1"
}

rendered=0
failed=0

# Renders every script of folder $1 whose name matches $4 (default *.calc) into $out (pictures
# named by the scripts, prefixed with $3) and appends each chart, as GIF and as 2x PNG beside
# its script, to page $2.
render_folder() {
    local folder="$1" page="$2" prefix="$3" pattern="${4:-*.calc}" script name picture status line word
    for script in "$folder"/$pattern; do
        name="$prefix$(basename "$script" .calc)"
        picture="$out/$name.png"
        local options=()
        while read -r line; do
            for word in $line; do
                # NAME=FILE options point into the script's folder.
                if [[ "$word" == *=* && -e "$folder/${word#*=}" ]]; then
                    word="${word%%=*}=$folder/${word#*=}"
                fi
                options+=("$word")
            done
        done < <(sed -n 's|^// options: *||p' "$script")

        rm -f "$picture" "$out/$name-2x.png" "$out/$name.svg" "$out/$name.pdf"
        render() { (cd "$folder" && "$program" run "$script" ${options[@]+"${options[@]}"} "$@") >>"$out/$name.log" 2>&1; }
        : >"$out/$name.log"
        if render -o "$picture" && [[ -s "$picture" ]] && render -o "$out/$name-2x.png" --scale 2 &&
                render -o "$out/$name.svg" && render -o "$out/$name.pdf"; then
            rendered=$((rendered + 1))
            status=""
        else
            failed=$((failed + 1))
            status="<p class=\"failed\">not rendered: $(html_escape "$out/$name.log")</p>"
            echo "gallery: $name failed (see $out/$name.log)" >&2
        fi
        {
            echo "<div class=\"item\" id=\"$name\">"
            echo "<div><h2>$name</h2><div class=\"pictures\">"
            echo "<figure><img src=\"$name.png\" alt=\"$name\"><figcaption>GIF</figcaption></figure>"
            # Shown at the size of the GIF, with twice its pixels on a high-density screen.
            echo "<figure><img srcset=\"$name-2x.png 2x\" src=\"$name-2x.png\" alt=\"$name, drawn as vectors\">"
            echo "<figcaption>PNG at 2x, drawn as vectors · <a href=\"$name.svg\">SVG</a> · <a href=\"$name.pdf\">PDF</a></figcaption></figure>"
            echo "</div>$status</div>"
            echo "<pre>$(html_escape "$script")</pre>"
            echo '</div>'
        } >>"$page"
    done
    echo '</body></html>' >>"$page"
}

page="$out/index.html"
page_head "$page" "Plotwise gallery"
echo '<p><a href="real_data.html">Real data</a>: tables with empty cells, "n/a", decimal commas, midnight timestamps</p>' >>"$page"
echo '<p><a href="values.html">Values accounted for</a>: lists with "n/a", amounts as written, accounting negatives, a French table, durations, a freezer log, points between gaps</p>' >>"$page"
echo '<p><a href="hard_cases.html">Hard cases</a>: long and multi-line titles, long legend names, many series, 100 slices, huge pictures</p>' >>"$page"
render_folder "$gallery" "$page" ""

real_page="$out/real_data.html"
page_head "$real_page" "Plotwise gallery: real data"
echo '<p><a href="index.html">Back to the gallery</a></p>' >>"$real_page"
render_folder "$root/examples/real_data" "$real_page" "real_data-"

values_page="$out/values.html"
page_head "$values_page" "Plotwise gallery: values accounted for"
echo '<p><a href="index.html">Back to the gallery</a>. Every value a script hands over is drawn at its value, drawn as missing, or said on the picture.</p>' >>"$values_page"
render_folder "$root/examples/real_data" "$values_page" "" "values-*.calc"

hard_page="$out/hard_cases.html"
page_head "$hard_page" "Plotwise gallery: hard cases"
echo '<p><a href="index.html">Back to the gallery</a></p>' >>"$hard_page"
render_folder "$root/examples/hard_cases" "$hard_page" "hard_cases-"

echo "gallery: $rendered pictures rendered, $failed failed"
echo "$page"
echo "$real_page"
echo "$values_page"
echo "$hard_page"
[[ $failed -eq 0 ]]
