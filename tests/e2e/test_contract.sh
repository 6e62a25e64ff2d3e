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
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$E2E_DIR/www" >"$E2E_DIR/http.log" 2>&1 &
http_pid=$!
trap 'kill "$http_pid" 2>/dev/null || true; wait "$http_pid" 2>/dev/null || true; e2e_end' EXIT
for _ in $(seq 50); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null && break
  sleep 0.1
done
export TW_CONTRACT_HTTP=127.0.0.1:$port
rc=0
e2e_wine "$exe" || rc=$?
e2e_assert_eq 0 "$rc" "contract_tests.exe exit code"
