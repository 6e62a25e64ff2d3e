# decrypt(encrypt(x)) is x padded with zeros to a whole number of 16-byte blocks; decrypting a file
# openssl made the same way gives the same text.
ziv=$1
. "$(dirname "$0")/common.sh"

for size in 0 1 15 16 17 383 384 385 1000 70000; do
  head -c "$size" /dev/urandom > "$work/plain"
  "$ziv" encrypt "$work/plain" "$work/cipher" || fail "encrypt $size"
  "$ziv" decrypt "$work/cipher" "$work/back" || fail "decrypt $size"
  cp "$work/plain" "$work/padded"
  truncate -s $(( (size + 15) / 16 * 16 )) "$work/padded"
  cmp "$work/padded" "$work/back" || fail "round trip of $size bytes"
done

# Same name for input and output is refused with the component's message.
if "$ziv" decrypt "$work/cipher" "$work/cipher" 2> "$work/err"; then fail "same name accepted"; fi
grep -qxF "FileCrypt ERROR: The same File for Input and Output $work/cipher!" "$work/err" || fail "same-name message: $(cat "$work/err")"

# A body cut short of a whole block fails with the block-size message, exit 1.
head -c 40 "$work/cipher" > "$work/cut"
set +e
"$ziv" decrypt "$work/cut" "$work/out" 2> "$work/err"
rc=$?
set -e
[ $rc -eq 1 ] || fail "cut body exit $rc"
grep -qxF "Illegal Block Size!" "$work/err" || fail "cut body message: $(cat "$work/err")"
echo ok
