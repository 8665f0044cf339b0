# bash completion for wldict                               -*- shell-script -*-
#
# Completes the commands, their options, dictionary folders (folders that
# hold a DatabaseInfo.plist) and the names of installed dictionaries
# (folders under wlreader/dictionaries in $XDG_DATA_HOME and $XDG_DATA_DIRS).

_wldict_installed()
{
    local cur=$1 base plist name
    local -a bases
    IFS=: read -r -a bases <<< "${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
    bases=("${XDG_DATA_HOME:-$HOME/.local/share}" "${bases[@]}")
    for base in "${bases[@]}"; do
        for plist in "$base"/wlreader/dictionaries/*/DatabaseInfo.plist; do
            [[ -f $plist ]] || continue
            name=${plist%/DatabaseInfo.plist}
            name=${name##*/}
            [[ $name == "$cur"* ]] && printf '%s\n' "$name"
        done
    done
}

# Installed names and bundle folders; while no folder there is a bundle,
# every folder, to walk towards one.
_wldict_dictionaries()
{
    local cur=$1 dir
    local -a bundles=() folders=()
    while IFS= read -r dir; do
        folders+=("$dir")
        [[ -f $dir/DatabaseInfo.plist ]] && bundles+=("$dir")
    done < <(compgen -d -- "$cur")
    ((${#bundles[@]})) || bundles=("${folders[@]}")
    compopt -o filenames 2>/dev/null
    while IFS= read -r dir; do
        COMPREPLY+=("$dir")
    done < <(_wldict_installed "$cur" | sort -u)
    COMPREPLY+=("${bundles[@]}")
}

# Files ending in one of the patterns given, and folders to look in.
_wldict_files()
{
    local cur=$1 pattern file
    shift
    compopt -o filenames 2>/dev/null
    for pattern in "$@"; do
        while IFS= read -r file; do
            COMPREPLY+=("$file")
        done < <(compgen -f -X "!$pattern" -- "$cur")
    done
    while IFS= read -r file; do
        COMPREPLY+=("$file")
    done < <(compgen -d -- "$cur")
}

_wldict()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="bookmarks build entry history import-dictd import-stardict index info install link list lookup page search"
    local globals="--dictionary --json --help --version"
    COMPREPLY=()

    # "--dictionary=DIR" arrives as three words.
    if [[ $prev == = && ${COMP_WORDS[COMP_CWORD - 2]} == --dictionary ]]; then
        _wldict_dictionaries "$cur"
        return
    fi
    case $prev in
        --dictionary) _wldict_dictionaries "$cur"; return ;;
        --title | --language | --name) return ;;
    esac

    # The command and the arguments after it, leaving out options.
    local i word command= fromDictd= fromStarDict=
    local -a positional=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            --) return ;;
            --dictionary | --title | --language | --name) ((i++)) ;;
            --from-dictd) fromDictd=1 ;;
            --from-stardict) fromStarDict=1 ;;
            -*) ;;
            *) if [[ -z $command ]]; then command=$word; else positional+=("$word"); fi ;;
        esac
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$globals" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    if [[ $cur == -* ]]; then
        local options=
        case $command in
            build) options="--from-dictd --from-stardict --quiet --title --language" ;;
            import-dictd | import-stardict) options="--quiet --title --language" ;;
            install) options="--force --name" ;;
            lookup) options="--html" ;;
            page) options="--large" ;;
            search) options="--trace" ;;
        esac
        COMPREPLY=($(compgen -W "$options $globals" -- "$cur"))
        return
    fi

    local n=${#positional[@]}
    case $command in
        bookmarks)
            if ((n == 0)); then
                COMPREPLY=($(compgen -W "export import" -- "$cur"))
            elif ((n == 1)); then
                _wldict_files "$cur" '*.json'
            fi
            ;;
        history)
            ((n == 0)) && COMPREPLY=($(compgen -W "clear" -- "$cur"))
            ;;
        build | import-dictd | import-stardict)
            if [[ $command == import-stardict || -n $fromStarDict ]]; then
                if ((n == 0)); then
                    _wldict_files "$cur" '*.ifo'
                elif ((n == 1)); then
                    _wldict_files "$cur"
                fi
            elif [[ $command == build && -z $fromDictd ]]; then
                ((n < 2)) && _wldict_files "$cur"
            elif ((n == 0)); then
                _wldict_files "$cur" '*.index'
            elif ((n == 1)); then
                _wldict_files "$cur" '*.dict' '*.dict.dz'
            elif ((n == 2)); then
                _wldict_files "$cur"
            fi
            ;;
        install)
            ((n == 0)) && _wldict_dictionaries "$cur"
            ;;
    esac
}

complete -F _wldict wldict
