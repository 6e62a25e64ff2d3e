# Shared by the tool tests: a private scratch folder removed on exit, and a failure helper.
set -euo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/tw_tools_test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The project key: the 14-character key material repeated to 16 bytes.
project_key_text='.k..om.%.70815.k'
project_key_hex=$(printf '%s' "$project_key_text" | od -An -tx1 | tr -d ' \n')
