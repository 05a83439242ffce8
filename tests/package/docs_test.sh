#!/usr/bin/env bash
# The manual pages name every option the programs' --help lists, and the bash completion offers
# every command of partita and every option of each.
# Usage: docs_test.sh PARTITA PARTITA_STUDIO DOCS_FOLDER
set -uo pipefail
source "$(dirname "$0")/package_support.sh"
partita=$1 studio=$2 docs=$3

# The options of a CLI11 help: the first column of the lines that start with an option.
help_options() {
    sed -nE 's/^  (-[^ ]*).*/\1/p' | tr ',' '\n' | sort -u
}
# The page as text: roff's minus signs and font changes taken out.
page_text() {
    sed -e 's/\\-/-/g' -e 's/\\f[BIR]//g' "$1"
}
# page_lists PAGE_TEXT OPTION: the page names the option as a word of its own.
page_lists() {
    grep -qE -- "(^|[^A-Za-z0-9-])$2([^A-Za-z0-9-]|\$)" <<<"$1"
}
# offers WORD COMMAND_LINE...: completing the command line offers the word.
offers() {
    local word=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _partita
    local offered
    for offered in "${COMPREPLY[@]}"; do
        [ "$offered" = "$word" ] && return 0
    done
    return 1
}

cli_page=$(page_text "$docs/partita.1")
source "$docs/partita.bash"
commands=$("$partita" --help | sed -n '/^Subcommands:/,$s/^  \([a-z][a-z-]*\) .*/\1/p')
[ -n "$commands" ] || fail "partita --help lists no commands"
for option in $("$partita" --help | help_options); do
    page_lists "$cli_page" "$option" || fail "partita.1 lacks $option"
    offers "$option" partita - || fail "completion of 'partita -' lacks $option"
done
for command in $commands; do
    offers "$command" partita "${command:0:2}" ||
        fail "completion of 'partita ${command:0:2}' lacks $command"
    grep -qF ".SS \"partita $command " "$docs/partita.1" || fail "partita.1 has no section $command"
    for option in $("$partita" "$command" --help | help_options); do
        page_lists "$cli_page" "$option" || fail "partita.1 lacks $command $option"
        offers "$option" partita "$command" - ||
            fail "completion of 'partita $command -' lacks $option"
    done
done

# The desktop program's --help is a usage line: every option in it is on the page.
studio_page=$(page_text "$docs/partita-studio.1")
usage=$(QT_QPA_PLATFORM=offscreen "$studio" --help --lang en --settings "$(mktemp -u).ini")
for option in $(grep -oE -- '(^|[ [])--?[a-z][a-z-]*' <<<"$usage" | tr -d ' ['); do
    page_lists "$studio_page" "$option" || fail "partita-studio.1 lacks $option"
done
page_lists "$studio_page" "--version" || fail "partita-studio.1 lacks --version"
finish
