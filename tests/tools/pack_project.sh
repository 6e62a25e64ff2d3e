# tarnwick-pack on a tiny project writes the encrypted project files, the ^! theme files, the
# language and support files and setup.exe, and prints one line per file written.
pack=$1
ziv=$2
. "$(dirname "$0")/common.sh"

project="$work/project"
out="$work/out dir"
mkdir -p "$project/theme" "$project/languages" "$project/SupportFiles/sub"
printf '[APPINFO]\r\nProductName=Tiny\r\na3={TINY}\r\n' > "$project/setup.inf"
mkdir -p "$project/payload"
printf 'a.txt\r\nD*0*0*0|\r\n' > "$project/data.inf"
printf 'payload' > "$project/payload/a.txt"
printf '[PAGE]\r\n' > "$project/theme/welcome.lcd"
printf 'BM' > "$project/theme/back.bmp"
printf '[LANG]\r\n' > "$project/language.lan"
printf '[LANG]\r\nName=Deutsch\r\n' > "$project/languages/german.lan"
printf 'not a language' > "$project/languages/readme.txt"
printf 'msi' > "$project/SupportFiles/mergemod.msi"
printf 'x' > "$project/SupportFiles/sub/extra.dat"
printf 'MZ' > "$work/setup.exe"

"$pack" "$project" "$out" --setup "$work/setup.exe" > "$work/listing" || fail "pack failed"

expected="setup.ziv data.ziv file1.cab ^!back.bmp ^!welcome.lcd language.lan languages/german.lan
SupportFiles/mergemod.msi SupportFiles/sub/extra.dat setup.exe"
for f in $expected; do
  [ -f "$out/$f" ] || fail "missing $f"
  grep -qxF "$out/$f" "$work/listing" || fail "$f not listed"
done
[ "$(wc -l < "$work/listing")" -eq 10 ] || fail "listing has $(wc -l < "$work/listing") lines"
[ ! -e "$out/languages/readme.txt" ] || fail "non-.lan file copied"
cmp "$project/theme/welcome.lcd" "$out/^!welcome.lcd" || fail "theme file content"
cmp "$work/setup.exe" "$out/setup.exe" || fail "setup.exe content"

"$ziv" verify "$out/setup.ziv" || fail "setup.ziv signature"
"$ziv" decrypt "$out/data.ziv" "$work/data.back" || fail "data.ziv decrypt"
cp "$project/data.inf" "$work/data.padded"
truncate -s 32 "$work/data.padded"
cmp "$work/data.padded" "$work/data.back" || fail "data.ziv content"

# Text files marked as UTF-8 are packed byte for byte and named in the summary; the mark does not
# hide setup.inf's first section from the packer's checks.
printf '\357\273\277[APPINFO]\r\nProductName=日本語\r\na3={TINY}\r\n' > "$project/setup.inf"
printf '\357\273\277[PAGE]\r\n' > "$project/theme/welcome.lcd"
"$pack" "$project" "$out" > "$work/listing" || fail "pack of a UTF-8 project failed"
[ "$(grep '^UTF-8' "$work/listing")" = "UTF-8 text, kept as it is: setup.inf
UTF-8 text, kept as it is: theme/welcome.lcd" ] || fail "UTF-8 summary: $(grep '^UTF-8' "$work/listing")"
cmp "$project/theme/welcome.lcd" "$out/^!welcome.lcd" || fail "UTF-8 theme file content"
printf '[APPINFO]\r\nProductName=Tiny\r\na3={TINY}\r\n' > "$project/setup.inf"

# Packing again refreshes the folder in place.
"$pack" "$project" "$out" > /dev/null 2> "$work/err" || fail "second pack failed"

# A project whose OS rows let nothing after Server 2003 through is packed, with a warning; all
# seven old rows (no check at all) or any newer row need none.
grep -qF "allows no Windows newer than Server 2003" "$work/err" || fail "no warning for a project without OS rows"
printf '[SYSTEM]\r\nos5=Yes\r\nos6=Yes\r\n' >> "$project/setup.inf"
"$pack" "$project" "$out" > /dev/null 2> "$work/err" || fail "pack of an XP-only project failed"
grep -qF "allows no Windows newer than Server 2003" "$work/err" || fail "no warning for an XP-only project"
for rows in 'os0=Yes\r\nos1=Yes\r\nos2=Yes\r\nos3=Yes\r\nos4=Yes\r\n' 'os12=Yes\r\n'; do
  printf '[APPINFO]\r\nProductName=Tiny\r\na3={TINY}\r\n[SYSTEM]\r\nos5=Yes\r\nos6=Yes\r\n'"$rows" > "$project/setup.inf"
  "$pack" "$project" "$out" > /dev/null 2> "$work/err" || fail "pack failed"
  [ ! -s "$work/err" ] || fail "unexpected warning for $rows: $(cat "$work/err")"
done
echo ok
