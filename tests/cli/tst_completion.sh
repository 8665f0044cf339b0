#!/bin/bash
# wldict's bash completion, sourced as bash-completion sources it and called
# as readline calls it after TAB. Arguments: the completion file and wldict.
set -u
source "$1" || exit 1
wldict=$(realpath "$2") || exit 1

here=$(mktemp -d) || exit 1
trap 'rm -rf "$here"' EXIT
cd "$here" || exit 1
mkdir -p bundles/demo bundles/notes data/wlreader/dictionaries/wn system/wlreader/dictionaries/gcide
touch bundles/demo/DatabaseInfo.plist data/wlreader/dictionaries/wn/DatabaseInfo.plist \
    system/wlreader/dictionaries/gcide/DatabaseInfo.plist
export XDG_DATA_HOME=$here/data XDG_DATA_DIRS=$here/system

failures=0
# complete WORD...: the completions of the last word.
complete() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _wldict wldict "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
}
# expect "WANTED" WORD...: the completions are exactly WANTED.
expect() {
    local wanted=$1
    shift
    complete "$@"
    if [[ "${COMPREPLY[*]}" != "$wanted" ]]; then
        echo "FAIL: '$*<TAB>' gave '${COMPREPLY[*]}', not '$wanted'"
        failures=$((failures + 1))
    fi
}

expect "search" wldict se
expect "import-dictd import-stardict index info install" wldict i
expect "--trace" wldict search --t
expect "--json" wldict --js
expect "link list lookup" wldict --json l
expect "--from-dictd --from-stardict" wldict build --f
expect "export import" wldict bookmarks ''
expect "clear" wldict history ''
expect "" wldict search --trace ''
# A StarDict dictionary is named by its .ifo, then the output folder.
mkdir -p stardict && touch stardict/x.ifo stardict/x.idx
expect "stardict/x.ifo" wldict import-stardict stardict/x
expect "stardict/x.ifo" wldict build --from-stardict stardict/x
expect "stardict" wldict build --from-stardict stardict/x.ifo st
# Bundle folders only, and installed dictionaries by name.
expect "bundles/demo" wldict --dictionary bundles/
expect "wn" wldict --dictionary w
# Readline splits "--dictionary=g" at the "=".
expect "gcide" wldict --dictionary = g
expect "search" wldict --dictionary wn se

# Every command and option the help names completes.
commands=$("$wldict" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\)  .*/\1/p')
[[ -n $commands ]] || { echo "FAIL: no commands in wldict --help"; failures=$((failures + 1)); }
for command in $commands; do
    complete wldict "${command:0:3}"
    [[ " ${COMPREPLY[*]} " == *" $command "* ]] ||
        { echo "FAIL: '${command:0:3}<TAB>' does not offer $command"; failures=$((failures + 1)); }
    for option in $("$wldict" "$command" --help | sed -n '/^Options:/,/^$/s/^  \(--[a-z-]*\).*/\1/p'); do
        complete wldict "$command" "$option"
        [[ " ${COMPREPLY[*]} " == *" $option "* ]] ||
            { echo "FAIL: '$command $option<TAB>' does not offer it"; failures=$((failures + 1)); }
    done
done

((failures == 0)) && echo "completion: all passed"
exit $((failures > 0))
