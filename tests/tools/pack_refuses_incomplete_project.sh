# A folder without setup.inf or data.inf, or without a usable product code, is not a project: exit
# 1 with a message naming the file or the setting, and nothing is written. Bad arguments exit 2.
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

# Without a product code of its own the product could not be registered or logged apart from others.
for code in '' ' ' '..\\Other' 'a/b' 'x:' 'NUL'; do
  mkdir -p "$work/p3"
  printf '[APPINFO]\r\na1=Tiny\r\na3=%s\r\n' "$code" > "$work/p3/setup.inf"
  printf 'a.txt\r\nD*0*0*0|\r\n' > "$work/p3/data.inf"
  expect_exit 1 "$pack" "$work/p3" "$work/out4"
  grep -qF "a3, the product code" "$work/err" || fail "message for code '$code': $(cat "$work/err")"
  [ ! -e "$work/out4" ] || fail "output folder created for code '$code'"
done

expect_exit 1 "$pack" "$work/nowhere" "$work/out3"
expect_exit 2 "$pack" "$work/p1"
expect_exit 2 "$pack" "$work/p1" "$work/out" --setup
expect_exit 2 "$pack" "$work/p1" "$work/out" --bogus
echo ok
