#!/bin/bash
# The platform contract suite against the real Win32 implementation: contract_tests.exe under Wine
# in a fresh prefix must pass every case the host runs against the fakes.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

exe=${E2E_WIN64_DIR:-}/contract_tests.exe
e2e_begin contract
e2e_assert_file "$exe" "contract test program"
cd "$E2E_DIR"
rc=0
e2e_wine "$exe" || rc=$?
e2e_assert_eq 0 "$rc" "contract_tests.exe exit code"
