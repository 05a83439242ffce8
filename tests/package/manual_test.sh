#!/usr/bin/env bash
# The manual in both languages: every page has its counterpart in the other language, every
# link and anchor between the pages leads somewhere, and every picture it shows is a screenshot
# the GUI tests take, copied in by the same step the build and the installation use.
# Usage: manual_test.sh MANUAL_SOURCE GUI_TEST_PROGRAM COPY_SCRIPT
set -uo pipefail
source "$(dirname "$0")/package_support.sh"
manual=$1 gui_tests=$2 copy_script=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
screenshots="$work/shots"
PARTITA_SCREENSHOTS="$screenshots" QT_QPA_PLATFORM=offscreen "$gui_tests" --gtest_filter='*Screenshot*:*Pictured*' \
    >"$work/shots.log" 2>&1 || { cat "$work/shots.log"; fail "the screenshot tests failed"; }
cp -r "$manual" "$work/manual"
cmake -DSCREENSHOTS="$screenshots" -DMANUAL="$work/manual" -DDEST="$work/manual/images" \
    -P "$copy_script" >/dev/null || fail "copying the pictures failed"

for language in en zh_CN; do
    other=$([ "$language" = en ] && echo zh_CN || echo en)
    for page in "$work/manual/$language"/*.html; do
        name=$(basename "$page")
        [ -f "$work/manual/$other/$name" ] || fail "$language/$name has no $other counterpart"
        while read -r target; do
            case "$target" in http:* | https:* | mailto:*) continue ;; esac
            file=${target%%#*} anchor=
            [ "$file" != "$target" ] && anchor=${target#*#}
            [ -n "$file" ] || file=$name
            path="$work/manual/$language/$file"
            [ -f "$path" ] || { fail "$language/$name links to a missing $target"; continue; }
            if [ -n "$anchor" ]; then
                grep -q "id=\"$anchor\"" "$path" || fail "$language/$name links to a missing $target"
            fi
        done < <(grep -o 'href="[^"]*"' "$page" | sed 's/^href="//; s/"$//')
        while read -r image; do
            [ -f "$work/manual/$language/$image" ] || fail "$language/$name shows a missing $image"
        done < <(grep -o '<img src="[^"]*"' "$page" | sed 's/^<img src="//; s/"$//')
    done
done
finish
