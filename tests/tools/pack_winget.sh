# tarnwick-pack --winget writes the packed folder as one zip and a winget manifest set that passes
# winget's own JSON schemas, names the zip by its SHA-256, runs setup.exe with its switches and
# codes, and says what setup writes to the Uninstall key; options it cannot honour are refused
# before anything is written.
pack=$1
. "$(dirname "$0")/common.sh"
here=$(cd "$(dirname "$0")" && pwd)
# winget's published schemas are kept beside the repository, not in it.
schemas=${TW_WINGET_SCHEMAS:-$here/../../../shared/winget-schemas}
if [ ! -d "$schemas" ]; then
  echo "SKIP: no winget schemas at $schemas (set TW_WINGET_SCHEMAS)"
  exit 77
fi

project="$work/project"
mkdir -p "$project/payload" "$project/theme" "$project/languages" "$project/SupportFiles/sub"
printf 'back' > "$project/theme/back.bmp"
printf '[LANG]\r\n' > "$project/languages/german.lan"
printf 'x' > "$project/SupportFiles/sub/x.dat"
printf 'a.txt\r\nD*0*0*0|\r\ncaf\xe9.txt\r\nD*0*0*0|\r\n' > "$project/data.inf"
printf 'payload' > "$project/payload/a.txt"
printf 'payload with a Windows-1252 name' > "$project/payload/caf"$'\xe9'".txt"
printf 'MZ setup' > "$work/setup.exe"
common="setup.ziv|data.ziv|setup.exe|^!back.bmp|languages/german.lan|SupportFiles/sub/x.dat"

# setup.inf from the case's a1..a20, Windows-1252 unless the case asks for UTF-8 with its mark.
write_setup_inf() {
  local mark='' extra=${1:-}
  [ "$bom" = yes ] && mark=$'\xef\xbb\xbf'
  printf '%s[APPINFO]\r\na1=%s\r\na2=%s\r\na3=%s\r\na8=%s\r\na19=%s\r\na20=%s\r\n[SYSTEM]\r\nos12=Yes\r\n%b' \
    "$mark" "$a1" "$a2" "$code" "$a8" "$a19" "$a20" "$extra" > "$project/setup.inf"
}

# The cases: scope, payload layout, encoding of setup.inf, and names full of YAML syntax.
case_user_cabinet() {
  layout=(); bom=no; code='{6F1A-TINY}'; a2=1.0; a8=Per-User; a20=
  a1='Tiny: #"Quoted" App \ 1'; a19=$'Caf\xe9 \x80 Works Ltd.'
  options=(--winget-url https://downloads.example.com/tiny/Tiny.zip)
  want=(id='Café€WorksLtd.Tiny#QuotedApp1' publisher='Café € Works Ltd.' description="$a1" license=Proprietary
        scope=user url=https://downloads.example.com/tiny/Tiny.zip zip=TinyQuotedApp1-1.0.zip
        members="$common|file1.cab")
}
case_machine_disk_image() {
  layout=(--disk-image); bom=yes; code='{NOTES}'; a2=2.10; a8=Per-Machine
  a1=No; a19='Zürich Apps'; a20=$'Notes: the "best" editor\t# 1'
  options=(--winget-id Contoso.Notes --winget-license 'MIT License')
  want=(id=Contoso.Notes publisher='Zürich Apps' description="$a20" license='MIT License' scope=machine
        url=https://example.invalid/No-2.10.zip zip=No-2.10.zip
        members="$common|DiskImage1/F0_a.txt|DiskImage1/F1_café.txt")
}
case_machine_split() {
  layout=(--split); bom=no; code='{SPLIT}'; a2='3.0 beta'; a8=
  a1='- [list] {map} & *alias !tag %pct @at `tick'; a19='Publisher, Inc.'; a20=ab
  # The license comes from the command line: UTF-8 with line separators YAML must not break at.
  license=$'Custom: see "LICENSE" \\ #1\xe2\x80\xa8line two\xc2\x85three'
  options=(--winget-url HTTPS://example.com/a?b=c --winget-license "$license")
  want=(id='Publisher,Inc.-[list]{map}&alias!tag%pct@at`ti' publisher="$a19" description="$a1"
        license="$license" scope=machine url=HTTPS://example.com/a?b=c zip=-listmapaliastagpctattick-3.0beta.zip
        members="$common|file1.cab")
}

n=0
for case in case_user_cabinet case_machine_disk_image case_machine_split; do
  n=$((n + 1))
  $case
  write_setup_inf '[BUILDING]\r\nCURRENTBUILD='"$([ "${layout[*]}" = --split ] && echo 'Split Files')"'\r\n'
  out="$work/out $n" winget="$work/winget $n"
  mkdir -p "$out" && printf 'left from an earlier pack' > "$out/stale.txt"
  "$pack" "$project" "$out" --setup "$work/setup.exe" "${layout[@]}" --winget "$winget" "${options[@]}" \
    > "$work/listing" 2> "$work/err" || fail "$case: pack failed: $(cat "$work/err")"
  python3 "$here/winget_check.py" "$winget" "$schemas" "$out" name="$a1" version="$a2" code="$code" "${want[@]}" \
    || fail "$case: the winget set is wrong"
  for f in "$winget"/*; do grep -qxF "$f" "$work/listing" || fail "$case: $f not listed"; done
  [ "$(ls "$winget" | wc -l)" -eq 4 ] || fail "$case: $winget holds $(ls "$winget")"
  placeholder=$(grep -c "InstallerUrl is the placeholder" "$work/err" || true)
  [ "$placeholder" -eq "$([ "${options[0]}" = --winget-url ] && echo 0 || echo 1)" ] \
    || fail "$case: placeholder warning given $placeholder times: $(cat "$work/err")"
done

# The zip is named with what survives as a file name and an address anywhere, never a device.
for row in $'CON|\xb5|setup-CON.zip' $'\xe6\xf8|2|setup-2.zip' $'\xdcber App|1.0 (beta)|berApp-1.0beta.zip'; do
  case_user_cabinet
  IFS='|' read -r a1 a2 zip <<< "$row"
  write_setup_inf
  rm -rf "$work/names"
  "$pack" "$project" "$work/names/out" --setup "$work/setup.exe" --winget "$work/names/winget" > /dev/null 2>&1 \
    || fail "pack of '$a1' failed"
  [ -f "$work/names/winget/$zip" ] || fail "zip of '$a1' $a2: $(ls "$work/names/winget")"
done

# Refused, naming the problem, with nothing written: each row changes one thing in a good run.
refusals=(
  "a19=|a19, the publisher"
  "a19=X|a19, the publisher"
  "a1=T|a1, the product name"
  "a2=1/2|cannot be a winget PackageVersion"
  "a2=|cannot be a winget PackageVersion"
  "a19=...|cannot make a winget PackageIdentifier"
  "--winget-id NoDot|is not a winget PackageIdentifier"
  "--winget-id A..B|is not a winget PackageIdentifier"
  "--winget-id A.123456789012345678901234567890123|is not a winget PackageIdentifier"
  "--winget-id CON.App|cannot be a Windows file name"
  "--winget-url ftp://example.com/a.zip|is not an http:// or https:// address"
  "--winget-url https://|is not an http:// or https:// address"
  "--winget-url https://example.com/a b.zip|is not an http:// or https:// address"
  "--winget-license ab|--winget-license needs 3 to 512 characters"
  "--no-setup|--winget needs --setup"
  "--winget-inside-out|must not be the output folder or inside it"
)
for row in "${refusals[@]}"; do
  change=${row%%|*} message=${row#*|}
  case_user_cabinet
  args=(--setup "$work/setup.exe" --winget "$work/refused/winget")
  case $change in
    a1=*) a1=${change#a1=} ;;
    a2=*) a2=${change#a2=} ;;
    a19=*) a19=${change#a19=} ;;
    --no-setup) args=(--winget "$work/refused/winget") ;;
    --winget-inside-out) args=(--setup "$work/setup.exe" --winget "$work/refused/winget") ;;
    *) args+=("${change%% *}" "${change#* }") ;;
  esac
  write_setup_inf
  out="$work/refused"
  [ "$change" = --winget-inside-out ] || out="$work/refused/out"
  expect_exit 1 "$pack" "$project" "$out" "${args[@]}"
  grep -qF -- "$message" "$work/err" || fail "'$change': message: $(cat "$work/err")"
  [ ! -e "$work/refused" ] || fail "'$change': something was written"
done

# A --winget-... detail without --winget is a usage error, not ignored.
expect_exit 2 "$pack" "$project" "$work/refused" --setup "$work/setup.exe" --winget-url https://example.com/a.zip
echo ok
