#!/usr/bin/env bash
# Checks that no #include runs up a layer. Each folder of src/ and of tools/zemcmp/ has a floor; a file may
# include files of its own folder and of folders on lower floors only. Folders on one floor do not include
# each other. Prints every include that breaks this and exits with 1 when there is one.
#
#   src/:          base 0, compress 1, profile 2, reslib 3 (the resource ids; the DLL itself includes nothing
#                  else), language 4, startup 5, framework and services 6, setup 7
#   tools/zemcmp/: may include any folder of src/; inside it: text 0, platform and command 1, files 2, pe 3,
#                  check 4, build 5, the top files (main, command table, command line, help) 6
set -uo pipefail
cd "$(dirname "$0")/.."

declare -A src_floor=([base]=0 [compress]=1 [profile]=2 [reslib]=3 [language]=4 [startup]=5 [framework]=6
                      [services]=6 [setup]=7)
declare -A tool_floor=([text]=0 [platform]=1 [command]=1 [files]=2 [pe]=3 [check]=4 [build]=5 [top]=6)

broken=0
while IFS=: read -r file _ line; do
    target=$(sed -nE 's/^#include "([^"]+)".*/\1/p' <<<"$line")
    [[ $target == */* ]] || continue
    to=${target%%/*}
    case $file in
        src/*)
            from=$(cut -d/ -f2 <<<"$file")
            [[ -n ${src_floor[$from]:-} ]] || continue
            if [[ -z ${src_floor[$to]:-} ]]; then
                echo "$file includes $target: outside src/"
                broken=1
            elif [[ $from != "$to" && ${src_floor[$to]} -ge ${src_floor[$from]} ]]; then
                echo "$file ($from, floor ${src_floor[$from]}) includes $target ($to, floor ${src_floor[$to]})"
                broken=1
            fi
            ;;
        tools/zemcmp/*)
            rest=${file#tools/zemcmp/}
            from=top
            [[ $rest == */* ]] && from=${rest%%/*}
            [[ -n ${src_floor[$to]:-} ]] && continue
            if [[ -z ${tool_floor[$to]:-} ]]; then
                echo "$file includes $target: no folder of zemcmp or src/"
                broken=1
            elif [[ $from != "$to" && ${tool_floor[$to]} -ge ${tool_floor[$from]} ]]; then
                echo "$file ($from, floor ${tool_floor[$from]}) includes $target ($to, floor ${tool_floor[$to]})"
                broken=1
            fi
            ;;
    esac
done < <(grep -rnE '^#include "' src tools/zemcmp --include='*.h' --include='*.cpp' --include='*.rc')

[[ $broken -eq 0 ]] && echo "no include runs up a layer"
exit $broken
