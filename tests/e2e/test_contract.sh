#!/bin/bash
# The platform contract suite against the real Win32 implementation: contract_tests.exe under Wine
# in a fresh prefix must pass every case the host runs against the fakes.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

exe=${E2E_WIN64_DIR:-}/contract_tests.exe
e2e_begin contract
e2e_assert_file "$exe" "contract test program"
cd "$E2E_DIR"
# The HTTP suite talks to a small server on loopback that serves "/hello.txt" and nothing else.
mkdir -p "$E2E_DIR/www"
printf hello >"$E2E_DIR/www/hello.txt"
e2e_http_serve "$E2E_DIR/www"
port=$E2E_HTTP_PORT
export TW_CONTRACT_HTTP=127.0.0.1:$port
rc=0
e2e_wine "$exe" || rc=$?
e2e_assert_eq 0 "$rc" "contract_tests.exe exit code"
