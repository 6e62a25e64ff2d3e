# verify exits 0 for a file with the project signature, 1 with the component's message otherwise,
# and 2 with a usage text when called wrongly.
ziv=$1
. "$(dirname "$0")/common.sh"

printf '[APPINFO]\r\n' > "$work/setup.inf"
"$ziv" encrypt "$work/setup.inf" "$work/setup.ziv"
expect_exit 0 "$ziv" verify "$work/setup.ziv"

head -c 64 /dev/urandom > "$work/foreign.ziv"
expect_exit 1 "$ziv" verify "$work/foreign.ziv"
grep -qxF "FileCrypt ERROR: File $work/foreign.ziv cannot be Correctly Decrypted!" "$work/err" || fail "foreign: $(cat "$work/err")"

head -c 20 "$work/setup.ziv" > "$work/short.ziv"
expect_exit 1 "$ziv" verify "$work/short.ziv"
grep -qxF "FileCrypt ERROR: File $work/short.ziv cannot be Correctly Decrypted!" "$work/err" || fail "short: $(cat "$work/err")"

expect_exit 1 "$ziv" verify "$work/missing.ziv"
grep -qxF "FileCrypt ERROR: Cannot open File $work/missing.ziv!" "$work/err" || fail "missing: $(cat "$work/err")"

expect_exit 2 "$ziv"
expect_exit 2 "$ziv" verify
expect_exit 2 "$ziv" encrypt "$work/setup.inf"
expect_exit 2 "$ziv" frobnicate a b
grep -q "usage" "$work/err" || fail "no usage text"
echo ok
