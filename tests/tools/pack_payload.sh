# tarnwick-pack's payload: data.inf's files from payload/ and the support/ files, as file1.cab with
# F<i>_<name> members (checked by extracting with gcab), as DiskImage1\, or as a split-build
# cabinet; and a project whose data.inf setup would misread is refused before anything is written.
pack=$1
. "$(dirname "$0")/common.sh"

project="$work/project"
mkdir -p "$project/payload" "$project/support"
printf '[APPINFO]\r\nProductName=Tiny\r\na3={TINY}\r\n[SYSTEM]\r\nos11=Yes\r\n' > "$project/setup.inf"
{
  printf 'C:\\Author\\bin\\app.exe\r\nDestination Computer\\<InstallDir>\\*0*0*0|\r\n'
  printf 'http://example.com/extra.zip\r\nDestination Computer\\<InstallDir>\\*0*0*0|\r\n'
  printf '/home/author/docs/read me.txt\r\nDestination Computer\\<InstallDir>\\docs\\*64*0*0|Docs\r\n'
} > "$project/data.inf"
head -c 200000 /dev/urandom > "$project/payload/app.exe"
printf 'read me' > "$project/payload/read me.txt"
printf 'BM' > "$project/support/splash.bmp"

# Extracts OUT/file1.cab into DIR and checks its members are exactly the given names.
unpack() {
  local out=$1 dir=$2; shift 2
  mkdir -p "$dir"
  (cd "$dir" && gcab -x "$out/file1.cab" > /dev/null) || fail "gcab cannot read $out/file1.cab"
  [ "$(cd "$dir" && ls | sort | tr '\n' '|')" = "$(printf '%s\n' "$@" | sort | tr '\n' '|')" ] ||
    fail "members of $out/file1.cab: $(cd "$dir" && ls | tr '\n' ' ')"
}

"$pack" "$project" "$work/cab" > "$work/listing" 2> "$work/err" || fail "cabinet pack: $(cat "$work/err")"
grep -qxF "$work/cab/file1.cab" "$work/listing" || fail "file1.cab not listed"
unpack "$work/cab" "$work/x1" F0_app.exe "F2_read me.txt" splash.bmp
cmp "$project/payload/app.exe" "$work/x1/F0_app.exe" || fail "F0_app.exe content"
cmp "$project/payload/read me.txt" "$work/x1/F2_read me.txt" || fail "F2 content"
cmp "$project/support/splash.bmp" "$work/x1/splash.bmp" || fail "support file content"
[ ! -s "$work/err" ] || fail "unexpected warnings: $(cat "$work/err")"

"$pack" "$project" "$work/cab" --disk-image > /dev/null 2> "$work/err" || fail "disk-image pack"
cmp "$project/payload/app.exe" "$work/cab/DiskImage1/F0_app.exe" || fail "disk image content"
[ -f "$work/cab/DiskImage1/splash.bmp" ] || fail "support file missing from the disk image"
[ ! -e "$work/cab/file1.cab" ] || fail "an old file1.cab stays beside DiskImage1"

"$pack" "$project" "$work/split" --split > /dev/null 2> "$work/err" || fail "split pack"
grep -qF "CURRENTBUILD=Split Files" "$work/err" || fail "no warning about CURRENTBUILD: $(cat "$work/err")"
unpack "$work/split" "$work/x2" app.exe "read me.txt" splash.bmp
cmp "$project/payload/app.exe" "$work/x2/app.exe" || fail "split content"
printf '[BUILDING]\r\nCURRENTBUILD=Split Files\r\n' >> "$project/setup.inf"
"$pack" "$project" "$work/split" --split > /dev/null 2> "$work/err" || fail "split pack"
[ ! -s "$work/err" ] || fail "warned about a split project: $(cat "$work/err")"

# The uninstaller joins the support files, unless the project brings its own (names match in any case).
printf 'MZ built' > "$work/dovuvi.exe"
"$pack" "$project" "$work/with" --split --uninstaller "$work/dovuvi.exe" > /dev/null 2> "$work/err" || fail "pack: $(cat "$work/err")"
unpack "$work/with" "$work/x3" app.exe "read me.txt" splash.bmp dovuvi.exe
cmp "$work/dovuvi.exe" "$work/x3/dovuvi.exe" || fail "uninstaller content"
printf 'MZ own' > "$project/support/Dovuvi.exe"
"$pack" "$project" "$work/own" --split --uninstaller "$work/dovuvi.exe" > /dev/null 2> "$work/err" || fail "pack: $(cat "$work/err")"
unpack "$work/own" "$work/x4" app.exe "read me.txt" splash.bmp Dovuvi.exe
rm "$project/support/Dovuvi.exe"
# One older than the engine's (by its version resource) is refused: it would replace nothing, and
# ship the old removal.
version() { printf 'MZ\xbd\x04\xef\xfe\x00\x00\x01\x00%b\x00\x00\x00\x00' "$1"; }
version '\x01\x00\x01\x00' > "$work/dovuvi.exe"  # 1.1.0.0
version '\x00\x00\x01\x00' > "$project/support/dovuvi.exe"  # 1.0.0.0
expect_exit 1 "$pack" "$project" "$work/older" --split --uninstaller "$work/dovuvi.exe"
grep -qF "support/dovuvi.exe is version 1.0.0.0, older than" "$work/err" || fail "older uninstaller: $(cat "$work/err")"
version '\x02\x00\x01\x00' > "$project/support/dovuvi.exe"  # 1.2.0.0
"$pack" "$project" "$work/newer" --split --uninstaller "$work/dovuvi.exe" > /dev/null 2> "$work/err" || fail "newer: $(cat "$work/err")"
rm "$project/support/dovuvi.exe"

# Each kind of mistake is named with its line; nothing is written.
refused() {
  local want=$1
  expect_exit 1 "$pack" "$project" "$work/refused"
  grep -qF "$want" "$work/err" || fail "expected '$want' in: $(cat "$work/err")"
  [ ! -e "$work/refused" ] || fail "output written for a refused project"
}
printf 'C:\\gone.dll\r\nD*0*0*0|\r\n' > "$project/data.inf"
refused "line 1: payload file payload/gone.dll is missing"
printf 'app.exe\r\nD*zero*0*0|\r\n' > "$project/data.inf"
refused "line 2: malformed record line"
printf 'D*0*0*0|\r\napp.exe\r\n' > "$project/data.inf"
refused "line 1: a record without a source line"
printf 'app.exe\r\nD*0*0*0|\r\nsplash.bmp\r\n' > "$project/data.inf"
refused "line 3: a source line without a record line"
printf 'app.exe\nD*0*0*0|\n' > "$project/data.inf"
refused "LF line ends"
echo ok
