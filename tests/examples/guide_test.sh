#!/usr/bin/env bash
# Every fenced code block of docs/making-a-game.md must be lines taken as
# they stand from one file under examples/ (whole lines, in order, none left
# out), so the guide cannot drift from code that is built and tested. Blocks
# marked ```sh are command lines a reader types: they are not checked.
# Usage: guide_test.sh SOURCE_DIR
set -euo pipefail

source_dir=$1
guide=$source_dir/docs/making-a-game.md
[[ -s $guide ]] || {
    echo "guide_test: $guide is missing or empty" >&2
    exit 1
}
mapfile -t files < <(find "$source_dir/examples" -type f ! -name '*.png' | sort)
texts=()
for file in "${files[@]}"; do texts+=($'\n'"$(<"$file")"$'\n'); done

checked=0 failed=0 in_block=0 number=0
while IFS= read -r line || [[ -n $line ]]; do
    number=$((number + 1))
    if ((!in_block)); then
        if [[ $line =~ ^\`\`\`(.*)$ ]]; then
            in_block=1 start=$number language=${BASH_REMATCH[1]} block=""
        fi
        continue
    fi
    if [[ $line != '```' ]]; then
        block+=$line$'\n'
        continue
    fi
    in_block=0
    [[ $language == sh ]] && continue
    checked=$((checked + 1))
    found=0
    for text in "${texts[@]}"; do
        if [[ $text == *$'\n'"$block"* ]]; then
            found=1
            break
        fi
    done
    if ((!found)); then
        echo "guide_test: the block at $guide:$start is in no file under examples/:" >&2
        printf '%s' "$block" | head -n 3 | sed 's/^/    /' >&2
        failed=$((failed + 1))
    fi
done <"$guide"

((!in_block)) || {
    echo "guide_test: the block at $guide:$start is never closed" >&2
    exit 1
}
((checked > 0)) || {
    echo "guide_test: $guide has no code block to check" >&2
    exit 1
}
((failed == 0)) || exit 1
echo "guide_test: all $checked code blocks are lines of the examples"
