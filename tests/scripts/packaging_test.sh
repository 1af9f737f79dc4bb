#!/usr/bin/env bash
# The installed extras agree with the program: every command and option of `velacli --help` is
# in the man page and in the bash completion, the completion offers what it should, and the
# AppStream metainfo and the desktop entry are valid where the validators are installed.
# Usage: packaging_test.sh VELACLI SOURCE_DIR METAINFO_FILE
set -euo pipefail
velacli=$1
source_dir=$2
metainfo=$3
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

help=$("$velacli" --help)
commands=$(sed -n '/^commands$/,/^$/p' <<<"$help" | awk 'NF && $1 != "commands" { print $1 }')
options=$(sed -n '/^options$/,/^$/p' <<<"$help" | grep -oE -- '^ +(-[a-z], )?--[a-z-]+' |
  tr -s ', ' '\n' | grep -- '^-')
[ -n "$commands" ] || fail "no commands found in velacli --help"
[ -n "$options" ] || fail "no options found in velacli --help"
man_page=$source_dir/packaging/velacli.1

# shellcheck disable=SC1091
. "$source_dir/packaging/velacli.bash-completion"
complete_line() {  # complete_line WORD...: the completions of the last word, one a line
  COMP_WORDS=(velacli "$@")
  COMP_CWORD=$#
  _velacli
  printf '%s\n' "${COMPREPLY[@]}"
}

offered_commands=$(complete_line "")
offered_options=$(complete_line "-")
for c in $commands; do
  grep -qF -- "${c//-/\\-}" "$man_page" || fail "man page lacks the command $c"
  grep -qx -- "$c" <<<"$offered_commands" || fail "completion lacks the command $c"
done
for o in $options; do
  grep -qF -- "${o//-/\\-}" "$man_page" || fail "man page lacks the option $o"
  grep -qx -- "$o" <<<"$offered_options" || fail "completion lacks the option $o"
done
for o in --compact --seconds --brief; do
  grep -qx -- "$o" <<<"$offered_options" || fail "completion lacks the option $o"
done

[ "$(complete_line --baud "" | tr '\n' ' ')" = "9600 19200 38400 " ] || fail "completion of --baud"
[ "$(complete_line -p /dev/x --numbering 0 vers)" = version ] || fail "command after options"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/layout.dat" "$work/Bahnhof Süd.dat" "$work/notes.txt"
offered=$(cd "$work" && complete_line --demo read-all "")
grep -qx "Bahnhof Süd.dat" <<<"$offered" || fail "completion of a data file with a space"
grep -qx "layout.dat" <<<"$offered" || fail "completion of a data file"
grep -qx "notes.txt" <<<"$offered" && fail "completion offers a file that is no data file"

if command -v groff >/dev/null 2>&1; then
  for page in velacli vela-sim; do
    warnings=$(groff -man -Tutf8 -ww "$source_dir/packaging/$page.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  done
fi
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$metainfo" >"$work/out" 2>&1 || fail "metainfo: $(cat "$work/out")"
else
  echo "appstreamcli not installed: metainfo not validated"
fi
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$source_dir/data/velaconfig.desktop" || fail "desktop entry"
fi

[ "$failures" = 0 ] && echo "packaging: all checks passed"
exit "$failures"
