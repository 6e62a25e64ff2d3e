#!/bin/bash
# A silent installation under Wine of a project with a file association, INI entries and
# environment variables: the class keys and the icon, the INI files (one the user had, which the
# log leaves alone), the user's and the machine's variables (an expandable PATH stays expandable,
# gets a folder once and is not logged for removal), and the uninstall log's entries in order.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

CODE='{2B8E4C71-5A9D-4E30-8F12-6C7D9A0B3E54}'
ENV_KEY='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'

write_project() {
  local project=$1
  mkdir -p "$project/payload" "$project/support"
  printf 'read me\r\n' >"$project/payload/readme.txt"
  printf 'not really an icon' >"$project/support/doc.ico"
  {
    printf '[APPINFO]\r\na1=Sys Demo\r\na2=1.0\r\na3=%s\r\na4=C:\\Sys Demo\r\na19=Tarnwick Tests\r\n' "$CODE"
    printf '[BUILDING]\r\n2=Yes\r\nCURRENTBUILD=Cabinet\r\n'
    e2e_any_machine
    printf '[EXTTW]\r\nTOTAL=1\r\nB0=<InstallDir>viewer.exe\r\nC0=.twx\r\nD0=Tarnwick.Doc\r\n'
    printf 'E0=Tarnwick Document\r\nG0=/open "%%1"\r\nH0=C:\\Authoring\\doc.ico\r\n'
    printf '[INIINFO]\r\nTOTAL=3\r\nA0=INI Files\\tarnwick.ini\\\r\nC0=<InstallDir>\r\n'
    printf 'A1=INI Files\\tarnwick.ini\r\nC1=<InstallDir>\r\n'
    printf 'A2=INI Files\\twuser.ini\r\nC2=<WindowsFolder>\r\n'
    printf '[INIDATA]\r\nTOTAL=3\r\nA0=INI Files\\tarnwick.ini\\Paths\\Home\\\r\nC0=<InstallDir>\r\n'
    printf 'A1=INI Files\\tarnwick.ini\\Paths\\Name\r\nC1=<ProductName>\r\n'
    printf 'A2=INI Files\\twuser.ini\\Sys Demo\\Home\r\nC2=<InstallDir>\r\n'
    printf '[ENVIRTW]\r\nTOTAL=4\r\nA0=TW_HOME\r\nC0=<InstallDir>\r\nF0=Remove\r\nG0=User\r\n'
    printf 'A1=TW_LIST\r\nC1=C:\\Three\r\nE1=Append\r\nG1=User\r\n'
    # Appended twice and marked for removal: PATH gets the folder once and is not logged, since
    # removing it would take the whole variable.
    printf 'A2=PATH\r\nC2=C:\\Sys Demo\r\nE2=Append\r\nF2=Remove\r\nG2=System\r\n'
    printf 'A3=PATH\r\nC3=C:\\Sys Demo\\\r\nE3=Append\r\nF3=Remove\r\nG3=System\r\n'
  } >"$project/setup.inf"
  printf 'C:\\src\\readme.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' >"$project/data.inf"
}

reg_line() {  # KEY NAME -> "TYPE DATA" of one value (NAME "(Default)" for the default value)
  local args=(/v "$2")
  [[ $2 == '(Default)' ]] && args=(/ve)
  e2e_wine reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { $1 = ""; sub(/^ */, ""); print }'
}

e2e_begin system_entries
project=$E2E_DIR/project
packed=$E2E_DIR/packed
write_project "$project"
e2e_pack "$project" "$packed" >/dev/null

e2e_wine reg add 'HKCU\Environment' /v TW_LIST /d 'C:\One;C:\Two' /f >/dev/null 2>&1 || e2e_fail "could not seed TW_LIST"
path_before=$(reg_line "$ENV_KEY" PATH)
[[ $path_before == REG_EXPAND_SZ* ]] || e2e_skip "this prefix's PATH is not expandable: $path_before"

# An INI file the user already had: the install adds its entry, and the log must not name the file.
printf '[User]\r\nKeep=1\r\n' >"$E2E_DRIVE_C/windows/twuser.ini"

e2e_install_silently "$packed"

e2e_assert_eq 'REG_SZ Tarnwick.Doc' "$(reg_line 'HKCR\.twx' '(Default)')" "extension key"
e2e_assert_eq 'REG_SZ Tarnwick Document' "$(reg_line 'HKCR\Tarnwick.Doc' '(Default)')" "file type key"
e2e_assert_eq 'REG_SZ C:\Sys Demo\doc.ico' "$(reg_line 'HKCR\Tarnwick.Doc\DefaultIcon' '(Default)')" "icon"
e2e_assert_eq 'REG_SZ "C:\Sys Demo\viewer.exe" /open "%1"' \
  "$(reg_line 'HKCR\Tarnwick.Doc\shell\Open\Command' '(Default)')" "Open command"
cmp "$project/support/doc.ico" "$E2E_DRIVE_C/Sys Demo/doc.ico" || e2e_fail "the icon was not copied"

e2e_assert_eq $'[Paths]\r\nHome=C:\\Sys Demo\\\r\nName=Sys Demo\r\nx' "$(cat "$E2E_DRIVE_C/Sys Demo/tarnwick.ini"; printf x)" \
  "tarnwick.ini"

user_ini=$(tr -d '\r' <"$E2E_DRIVE_C/windows/twuser.ini")
grep -qx 'Keep=1' <<<"$user_ini" || e2e_fail "the user's entry is gone from twuser.ini: $user_ini"
grep -qxF 'Home=C:\Sys Demo\' <<<"$user_ini" || e2e_fail "the new entry is not in twuser.ini: $user_ini"
e2e_assert_eq 'REG_SZ C:\Sys Demo\' "$(reg_line 'HKCU\Environment' TW_HOME)" "TW_HOME"
e2e_assert_eq 'REG_SZ C:\One;C:\Two;C:\Three' "$(reg_line 'HKCU\Environment' TW_LIST)" "TW_LIST"
e2e_assert_eq "$path_before;C:\\Sys Demo" "$(reg_line "$ENV_KEY" PATH)" "the machine's PATH"

log=$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log
e2e_assert_file "$log" "uninstall log"
expected=$'TOTALFILE=1\r\nDIR=C:\\Sys Demo\\\r\nDIR=C:\\Sys Demo\\\r\nFILE=C:\\Sys Demo\\readme.txt\r\n'
expected+=$'FILE=C:\\Sys Demo\\tarnwick.ini\r\n'
expected+=$'REMKEY=HKEY_CLASSES_ROOT\\Tarnwick.Doc\r\nREMKEY=HKEY_CLASSES_ROOT\\.twx\r\nFILE=C:\\Sys Demo\\doc.ico\r\n'
expected+=$'REGVAL=HKEY_CURRENT_USER\\Environment\\TW_HOME\r\n'
# The x keeps the final line end, which $(...) would drop.
e2e_assert_eq "${expected}x" "$(cat "$log"; printf x)" "uninstall.log"
