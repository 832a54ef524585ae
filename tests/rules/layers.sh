#!/usr/bin/env bash
# The includes of src/ follow the layer table of ARCHITECTURE.md: a file of a
# layer includes only what its row's "may include" cell names in backticks (a
# folder such as `src/display` for all of its headers, or one header such as
# `frontend/fmain.h`), besides the headers of its own folder; and only the
# platform includes SDL.
#
# Usage: layers.sh <source root>
set -uo pipefail
root=${1:?usage: layers.sh <source root>}
map=$root/ARCHITECTURE.md
[[ -f $map ]] || { echo "no $map" >&2; exit 2; }

# "folder<TAB>allowed names" for every row of the table under "## Layers".
declare -A may
while IFS=$'\t' read -r folder names; do
    may[$folder]=$names
done < <(awk -F'|' '
    /^## / { inside = ($0 ~ /^## Layers/) ; next }
    inside && /^\| *[a-z]/ && $3 ~ /`src\// {
        match($3, /`src\/[a-z_]+/); folder = substr($3, RSTART + 5, RLENGTH - 5)
        names = ""; cell = $5
        while (match(cell, /`[^`]+`/)) {
            names = names " " substr(cell, RSTART + 1, RLENGTH - 2); cell = substr(cell, RSTART + RLENGTH)
        }
        printf "%s\t%s\n", folder, names
    }' "$map")
(( ${#may[@]} > 0 )) || { echo "no layer table found in $map" >&2; exit 2; }

found=0
for dir in "$root"/src/*/; do
    folder=$(basename "$dir")
    if [[ -z ${may[$folder]+set} ]]; then
        echo "src/$folder is not in the layer table of ARCHITECTURE.md"
        found=$((found + 1))
        continue
    fi
    allowed=" ${may[$folder]} "
    for file in "$dir"*.cpp "$dir"*.h; do
        [[ -f $file ]] || continue
        relative=src/$folder/$(basename "$file")
        while IFS= read -r included; do
            layer=${included%%/*}
            [[ $layer == "$folder" ]] && continue
            [[ -d $root/src/$layer ]] || continue  # not a header of the game
            [[ $allowed == *" src/$layer "* || $allowed == *" $included "* ]] && continue
            echo "$relative includes $included, which the $folder row of ARCHITECTURE.md does not allow"
            found=$((found + 1))
        done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file")
        if [[ $folder != platform ]] && grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]SDL' "$file"; then
            echo "$relative includes SDL, which only src/platform may"
            found=$((found + 1))
        fi
    done
done
if (( found > 0 )); then
    echo "$found include(s) against the layer table of ARCHITECTURE.md" >&2
    exit 1
fi
echo "every include of src/ follows the layer table"
