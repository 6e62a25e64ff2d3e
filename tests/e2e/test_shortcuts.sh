#!/bin/bash
# Shortcuts under Wine: a silent install of a packed project makes a link in a Programs-menu
# folder of its own (read back through the shell link object) and a web shortcut on the desktop,
# copies the link's icon into the install folder, and logs folder, icon and shortcuts.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

CODE='{5B1E2C3D-6A7F-4E80-9D1C-3F2A4B5C6D70}'

write_project() {
  local project=$1
  mkdir -p "$project/payload" "$project/support"
  printf 'not really a program\r\n' >"$project/payload/demo.exe"
  printf 'an icon' >"$project/support/demo.ico"
  printf '[APPINFO]\r\na1=Shortcut Demo\r\na2=1.0\r\na3=%s\r\na4=C:\\Shortcut Demo\r\na19=Tarnwick Tests\r\n' "$CODE" >"$project/setup.inf"
  printf '[BUILDING]\r\n2=Yes\r\nCURRENTBUILD=Cabinet\r\n' >>"$project/setup.inf"
  e2e_any_machine >>"$project/setup.inf"
  printf '[FOLDERTW]\r\nTOTAL=2\r\n' >>"$project/setup.inf"
  printf 'A0=Start Menu\\Programs Menu\\<ProductName>\\Shortcut Demo\r\nB0=Shortcut Demo\r\nC0=<InstallDir>demo.exe\r\n' >>"$project/setup.inf"
  printf 'D0=Starts the demo\r\nE0=Maximized\r\nF0=<InstallDir>\r\nG0=/fast\r\nH0=C:\\art\\demo.ico\r\nI0=1\r\n' >>"$project/setup.inf"
  printf 'A1=Desktop\\Demo Site\r\nB1=Demo Site\r\nC1=http://demo.example/\r\n' >>"$project/setup.inf"
  printf 'C:\\src\\demo.exe\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' >"$project/data.inf"
}

# A Windows path from the log as a path in this test's prefix.
unix_path() {
  local path=${1#[Cc]:\\}
  echo "$E2E_DRIVE_C/${path//\\//}"
}

e2e_begin shortcuts
probe=$E2E_WIN64_DIR/lnk_probe.exe
e2e_assert_file "$probe" "link probe"
project=$E2E_DIR/project
packed=$E2E_DIR/packed
write_project "$project"
e2e_pack "$project" "$packed" >/dev/null

e2e_install_silently "$packed"

log_file=$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log
e2e_assert_file "$log_file" "uninstall log"
log=$(tr -d '\r' <"$log_file")
link=$(sed -n 's/^SHORTCUT=\(.*\\Programs\\Shortcut Demo\\Shortcut Demo\.lnk\)$/\1/p' <<<"$log")
[[ -n $link ]] || e2e_fail "no Programs-menu link in the log:"$'\n'"$log"
folder=${link%\\*}
desktop=$(sed -n 's/^SHORTCUT=\(.*\)\\Demo Site\.url$/\1/p' <<<"$log")
[[ -n $desktop ]] || e2e_fail "no web shortcut in the log:"$'\n'"$log"

# Folder, icon and link in this order, after the payload; the web shortcut comes before the link
# that points to the same address.
expected=$'TOTALFILE=1\nDIR=C:\\Shortcut Demo\\\nDIR=C:\\Shortcut Demo\\\nFILE=C:\\Shortcut Demo\\demo.exe\n'
expected+="DIR=$folder"$'\n'$'FILE=C:\\Shortcut Demo\\demo.ico\n'"SHORTCUT=$link"$'\n'
expected+="SHORTCUT=$desktop\\Demo Site.url"$'\n'"SHORTCUT=$desktop\\Demo Site.lnk"
e2e_assert_eq "$expected" "$log" "uninstall.log"

cmp "$project/support/demo.ico" "$E2E_DRIVE_C/Shortcut Demo/demo.ico" || e2e_fail "icon not copied"
e2e_assert_file "$(unix_path "$link")" "Programs-menu link"
grep -q '^URL=http://demo.example/' <(tr -d '\r' <"$(unix_path "$desktop\\Demo Site.url")") ||
  e2e_fail "the web shortcut does not name its address"

fields=$(e2e_wine "$probe" "$link" | tr -d '\r') || e2e_fail "lnk_probe could not load $link"
expected_fields=$'path=C:\\Shortcut Demo\\demo.exe\narguments=/fast\nfolder=C:\\Shortcut Demo\\\n'
expected_fields+=$'icon=C:\\Shortcut Demo\\demo.ico\nindex=1\ndescription=Starts the demo'
e2e_assert_eq "$expected_fields" "$fields" "the link's fields"
# Wine's link object does not load the start state back, so it is read from the file's header
# (a 32-bit number at offset 60): 3 is maximized.
e2e_assert_eq 3 "$(od -An -tu4 -j60 -N4 "$(unix_path "$link")" | tr -d ' ')" "the link's start state"
