#!/bin/bash
# The portable INI reader against the real GetPrivateProfileStringA: ini_probe.exe asks both the same
# questions about every file of the corpus under Wine and fails on any disagreement.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

probe=${E2E_WIN64_DIR:-}/ini_probe.exe
corpus=$(cd "$(dirname "$0")/../ini/corpus" && pwd)
# Case folding of names depends on the ANSI code page; pin the Western one.
export LANG=en_US.UTF-8 LC_ALL=
e2e_begin ini_corpus
e2e_assert_file "$probe" "INI probe program"

# Copies with old times: the system reader reloads a file whose time is within two seconds of now on
# every call, which would only slow the probe down.
mkdir -p "$E2E_DIR/corpus"
cp "$corpus"/* "$E2E_DIR/corpus/"
touch -d '2001-01-01 00:00:00' "$E2E_DIR/corpus"/*
rc=0
e2e_wine "$probe" "$(e2e_winpath "$E2E_DIR/corpus")" || rc=$?
e2e_assert_eq 0 "$rc" "ini_probe.exe exit code"
