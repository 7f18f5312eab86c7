# bash completion for orxprop: verbs, options, property names (from the
# tool's own catalogue listing) and the ids of the listed tasks (from the
# data folder named on the line, or the default one).

_orxprop_tool() {
    # Runs orxprop with the data folder and language module given so far.
    local args=() i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --data-folder|--language-module)
                args+=("${COMP_WORDS[i]}" "${COMP_WORDS[i+1]}") ;;
        esac
    done
    "${COMP_WORDS[0]}" "${args[@]}" "$@" 2>/dev/null
}

_orxprop() {
    local cur prev verb sub i
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}

    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --data-folder|--language-module) ((i++)) ;;
            -*) ;;
            *) if [[ -z $verb ]]; then verb=${COMP_WORDS[i]}
               elif [[ $verb == tasks && -z $sub ]]; then sub=${COMP_WORDS[i]}; fi ;;
        esac
    done

    case $prev in
        --data-folder) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --language-module) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --task) COMPREPLY=($(compgen -W "$(_orxprop_tool tasks list --all-slots |
                                           awk '{print $2}')" -- "$cur")); return ;;
        --provider) COMPREPLY=($(compgen -W "$(_orxprop_tool --json check |
                                               sed -n 's/^ *"file": "\(.*\)\.ini",$/\1/p')" \
                                   -- "$cur")); return ;;
    esac

    local global="--data-folder --language-module --json --help --version"
    local scope="--task --provider"
    if [[ -z $verb ]]; then
        COMPREPLY=($(compgen -W "get set reset list describe dump import tasks check watch
                                 $global" -- "$cur"))
        return
    fi

    local options
    case $verb in
        get) options="--int $scope" ;;
        set) options="--int --raw --force $scope" ;;
        reset) options="--all --force $scope" ;;
        list|describe) options="" ;;
        dump) options="--all $scope" ;;
        import) options="--raw --force $scope" ;;
        check) options="--language-module" ;;
        watch) options="$scope" ;;
        tasks)
            if [[ -z $sub ]]; then
                COMPREPLY=($(compgen -W "list create copy delete remove shrink" -- "$cur"))
                return
            fi
            case $sub in
                list) options="--all-slots" ;;
                create) options="--id" ;;
                shrink) options="--last" ;;
                copy|delete|remove)
                    if [[ $cur != -* ]]; then
                        COMPREPLY=($(compgen -W "$(_orxprop_tool tasks list --all-slots |
                                                   awk '{print $2}')" -- "$cur"))
                        return
                    fi ;;
            esac ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    case $verb in
        get|set|reset|describe|watch)
            COMPREPLY=($(compgen -W "$(_orxprop_tool list |
                                       awk '{print $2; if (split($2, p, ".") == 2) print p[2]}')" \
                                  -- "$cur")) ;;
        list)
            COMPREPLY=($(compgen -W "general task email filesystem p2p im web network script
                                     antispam provider" -- "$cur")) ;;
        import)
            COMPREPLY=($(compgen -f -- "$cur")) ;;
    esac
}

complete -F _orxprop orxprop
