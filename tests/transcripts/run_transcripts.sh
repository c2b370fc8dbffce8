#!/usr/bin/env bash
# Runs the wox program in batch mode on every transcript (*.wt) of a folder
# and requires its output to be the file, byte for byte.
#
# The input lines are found the way a user reading the file would: run wox on
# the lines found so far; its output (without the final line break) must be
# the start of the file and ends with a prompt, and the rest of that line in
# the file is the next line to type.
#
# usage: run_transcripts.sh WOX_BINARY TRANSCRIPT_FOLDER
set -uo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 WOX_BINARY TRANSCRIPT_FOLDER" >&2
    exit 2
fi
wox=$1
folder=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/wox-batch-XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
# Never touch the user's own files.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"

failed=0
checked=0
for file in "$folder"/*.wt; do
    [[ -e $file ]] || continue
    name=$(basename "$file")
    : > "$work/input"
    outcome=""
    while [[ -z $outcome ]]; do
        if ! "$wox" < "$work/input" > "$work/output" 2> "$work/errors"; then
            outcome="wox failed: $(head -c 2000 "$work/errors")"
            break
        fi
        length=$(( $(wc -c < "$work/output") - 1 ))
        if ! cmp -s -n "$length" "$work/output" "$file"; then
            outcome="the output differs"
            break
        fi
        tail -c +$((length + 1)) "$file" > "$work/rest"
        if [[ $(wc -c < "$work/rest") -eq 1 && $(od -An -c "$work/rest" | tr -d ' ') == '\n' ]]; then
            cmp -s "$work/output" "$file" && outcome=passed || outcome="the output differs"
            break
        fi
        if [[ $(head -n 1 "$work/rest" | tail -c 1 | od -An -c | tr -d ' ') != '\n' ]]; then
            outcome="the file does not end with the session's last prompt and a line break"
            break
        fi
        head -n 1 "$work/rest" >> "$work/input"
    done
    checked=$((checked + 1))
    if [[ $outcome != passed ]]; then
        failed=$((failed + 1))
        echo "FAIL $name: $outcome"
        diff -u --label "expected $name" --label "actual (batch wox)" "$file" "$work/output" | head -n 200
    fi
done

echo "$checked transcripts run in batch mode, $failed failed"
[[ $checked -gt 0 && $failed -eq 0 ]]
