# A folder without setup.inf or data.inf is not a project: exit 1 with a message naming the file,
# and nothing is written. Bad arguments exit 2.
pack=$1
. "$(dirname "$0")/common.sh"

mkdir -p "$work/p1" "$work/p2"
printf '[FILES]\r\n' > "$work/p1/data.inf"
expect_exit 1 "$pack" "$work/p1" "$work/out1"
grep -qF "setup.inf is missing" "$work/err" || fail "message: $(cat "$work/err")"
[ ! -e "$work/out1" ] || fail "output folder created for a refused project"

printf '[APPINFO]\r\n' > "$work/p2/setup.inf"
expect_exit 1 "$pack" "$work/p2" "$work/out2"
grep -qF "data.inf is missing" "$work/err" || fail "message: $(cat "$work/err")"

expect_exit 1 "$pack" "$work/nowhere" "$work/out3"
expect_exit 2 "$pack" "$work/p1"
expect_exit 2 "$pack" "$work/p1" "$work/out" --setup
expect_exit 2 "$pack" "$work/p1" "$work/out" --bogus
echo ok
