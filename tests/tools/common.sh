# Shared by the tool tests: a private scratch folder removed on exit, failure and exit-code helpers.
set -euo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/tw_tools_test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs a command expecting an exit code; its stdout and stderr land in $work/stdout and $work/err.
expect_exit() {
  local want=$1; shift
  set +e
  "$@" > "$work/stdout" 2> "$work/err"
  local rc=$?
  set -e
  [ $rc -eq "$want" ] || fail "'$*' exited $rc, expected $want; stderr: $(cat "$work/err")"
}

# The project key: the 14-character key material repeated to 16 bytes.
project_key_text='.k..om.%.70815.k'
project_key_hex=$(printf '%s' "$project_key_text" | od -An -tx1 | tr -d ' \n')
