#!/bin/bash
# tarnwick-pack --single-file and --sign: the one program holds setup.exe's bytes first and every
# packed file after them, byte for byte where its trailer says; signed with a certificate made
# here it verifies, and one byte flipped in the appended data makes the signature fail. The
# options it cannot honour are refused with a reason, and a failed signing fails the pack.
# Usage: pack_single_file.sh TARNWICK_PACK
source "$(dirname "$0")/common.sh"
pack=$1
command -v x86_64-w64-mingw32-gcc >/dev/null || { echo "no mingw compiler: skipped"; exit 0; }
command -v osslsigncode >/dev/null || { echo "no osslsigncode: skipped"; exit 0; }

project=$work/project
mkdir -p "$project/payload" "$project/support" "$project/languages"
printf '[APPINFO]\r\na1=One File\r\na3={11111111-2222-3333-4444-555555555555}\r\n' >"$project/setup.inf"
printf 'hello\r\n' >"$project/payload/a.txt"
printf 'C:\\src\\a.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' >"$project/data.inf"
printf '[LANG]\r\n' >"$project/languages/german.lan"
printf 'int main(void){return 0;}' | x86_64-w64-mingw32-gcc -x c - -o "$work/setup.exe"
cp "$work/setup.exe" "$work/dovuvi.exe"

# The certificate the author would buy, made here.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj '/CN=Tarnwick Tools Test' 2>/dev/null
openssl pkcs12 -export -out "$work/signer.pfx" -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:s3cret
export TW_PFX=s3cret

expect_exit 0 "$pack" "$project" "$work/out" --setup "$work/setup.exe" --single-file \
  --sign "$work/signer.pfx" --sign-password-env TW_PFX
one=$work/out/One-File-setup.exe
[ -f "$one" ] || fail "no One-File-setup.exe; wrote: $(cat "$work/stdout")"
grep -qx "$one" "$work/stdout" || fail "the single file is not in the list of written files"
for file in "$one" "$work/out/setup.exe"; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify" 2>&1 ||
    fail "$file does not verify: $(cat "$work/verify")"
done

# The layout, read with Python from the README's description: stamp, files, directory, footer.
python3 - "$one" "$work/setup.exe" "$work/out" <<'PY' || fail "the single file's layout is wrong"
import hashlib, struct, sys, os
one, setup, out = sys.argv[1:4]
data = open(one, 'rb').read()
image = open(setup, 'rb').read()
marker, start, size = struct.unpack_from('<4sQQ', data, 0x28)
assert marker == b'TWSF' and start == len(image), (marker, start)
# Signing rewrites the checksum and the security directory in the headers; the rest stays.
assert data[:0x28] == image[:0x28] and data[0x400:start] == image[0x400:], 'the program image changed'
end = start + size
assert data[end - 16:end] == b'TARNWICK-SFX-V01'
footer = data[end - 112:end]
dir_sha, prefix_sha = footer[:32], footer[32:64]
data_start, dir_size, count, version, trailer_size = struct.unpack_from('<QQIIQ', footer, 64)
assert (data_start, version) == (start, 1)
directory = data[end - trailer_size:end - trailer_size + dir_size]
assert hashlib.sha256(directory).digest() == dir_sha
# The stamp, the PE checksum and the security directory entry count as zero (signing rewrites them).
pe = struct.unpack_from('<I', data, 0x3c)[0]
unstamped = bytearray(data[:end - trailer_size])
unstamped[0x28:0x3c] = bytes(20)
unstamped[pe + 24 + 64:pe + 24 + 68] = bytes(4)
unstamped[pe + 24 + 112 + 32:pe + 24 + 112 + 40] = bytes(8)
assert hashlib.sha256(bytes(unstamped)).digest() == prefix_sha
names, at, cabinet_at = [], 0, None
for _ in range(count):
    offset, length, sha, kind, name_len = struct.unpack_from('<QQ32sBH', directory, at)
    at += 51
    name = directory[at:at + name_len].decode(); at += name_len
    body = data[offset:offset + length]
    assert hashlib.sha256(body).digest() == sha, name
    shipped = open(os.path.join(out, name.replace('\\', '/')), 'rb').read()
    if kind == 2:  # the cabinet's checked start: a proper part of it, where it begins
        assert name == 'file1.cab' and offset == cabinet_at and 0 < length <= len(shipped), (offset, length)
        assert body == shipped[:length]
        continue
    assert body == shipped, name
    assert kind == (1 if name == 'file1.cab' else 0), name
    if kind == 1: cabinet_at = offset
    names.append(name)
assert at == dir_size
assert set(names) == {'setup.ziv', 'data.ziv', 'languages\\german.lan', 'file1.cab'}, names
PY

# One flipped byte in the appended data breaks the signature.
cp "$one" "$work/flipped.exe"
start=$(od -An -tu8 -j 44 -N8 "$one" | tr -d ' ')
byte=$(od -An -tu1 -j $((start + 3)) -N1 "$one" | tr -d ' ')
printf "$(printf '\\%03o' $((byte ^ 1)))" | dd of="$work/flipped.exe" bs=1 seek=$((start + 3)) conv=notrunc 2>/dev/null
cmp -s "$one" "$work/flipped.exe" && fail "the byte was not flipped"
if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/flipped.exe" >/dev/null 2>&1; then
  fail "a flipped byte still verifies"
fi

# Unsigned without --sign; refused where it cannot be one file; a failed signing says why.
expect_exit 0 "$pack" "$project" "$work/plain" --setup "$work/setup.exe" --single-file
if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/plain/One-File-setup.exe" >/dev/null 2>&1; then
  fail "signed without --sign"
fi
expect_exit 1 "$pack" "$project" "$work/x" --setup "$work/setup.exe" --single-file --disk-image
grep -q 'cabinet build only' "$work/err" || fail "--disk-image refusal unclear: $(cat "$work/err")"
expect_exit 1 "$pack" "$project" "$work/x" --single-file
grep -q 'needs --setup' "$work/err" || fail "missing --setup refusal unclear: $(cat "$work/err")"
TW_PFX=wrong expect_exit 1 "$pack" "$project" "$work/x" --setup "$work/setup.exe" --single-file \
  --sign "$work/signer.pfx" --sign-password-env TW_PFX
grep -q 'signing .* failed: .*' "$work/err" || fail "a failed signing gave no reason: $(cat "$work/err")"
[ -z "$(ls -A "$work/x" | grep signed)" ] || fail "a failed signing left its copy: $(ls -A "$work/x")"
expect_exit 2 "$pack" "$project" "$work/x" --timestamp http://ts.invalid
echo "pack_single_file: ok"
