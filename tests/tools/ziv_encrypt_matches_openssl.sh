# tarnwick-ziv encrypt must equal: SHA-256 of the 30-character signature text, then AES-128-ECB of
# the zero-padded text, both computed by openssl.
ziv=$1
. "$(dirname "$0")/common.sh"

check() {
  local name=$1
  "$ziv" encrypt "$work/$name" "$work/$name.ziv" || fail "encrypt $name"
  signature_text="RIJNDAEL${project_key_text}161600"
  [ ${#signature_text} -eq 30 ] || fail "signature text is ${#signature_text} characters"
  printf '%s' "$signature_text" | openssl dgst -sha256 -binary > "$work/expected"
  size=$(stat -c %s "$work/$name")
  padded=$(( (size + 15) / 16 * 16 ))
  cp "$work/$name" "$work/padded"
  truncate -s "$padded" "$work/padded"
  if [ "$padded" -gt 0 ]; then
    openssl enc -aes-128-ecb -nopad -K "$project_key_hex" -in "$work/padded" >> "$work/expected"
  fi
  cmp "$work/expected" "$work/$name.ziv" || fail "$name: encrypted file differs from openssl's"
}

printf '[APPINFO]\r\nProductName=Tarnwick Demo\r\nProductVersion=1.0\r\n' > "$work/setup.inf"
: > "$work/empty.inf"
head -c 384 /dev/urandom > "$work/chunk.bin"
head -c 385 /dev/urandom > "$work/chunk1.bin"
head -c 100003 /dev/urandom > "$work/big.bin"
for f in setup.inf empty.inf chunk.bin chunk1.bin big.bin; do check "$f"; done
echo ok
