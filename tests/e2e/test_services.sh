#!/bin/bash
# A silent installation under Wine that brings two Windows services: both are registered with the
# service manager as the project's texts say (not started, a program path with a blank quoted) and
# logged for the uninstaller.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

CODE='{5B0E7C21-9A4D-4E3F-8B6A-1C2D3E4F5A60}'
SERVICES='HKLM\SYSTEM\CurrentControlSet\Services'

write_project() {
  local project=$1
  mkdir -p "$project/payload"
  printf 'not really a program\r\n' >"$project/payload/svc.exe"
  printf '[APPINFO]\r\na1=Service Demo\r\na2=1.0\r\na3=%s\r\na4=C:\\Service Demo\r\na19=Tarnwick Tests\r\n' "$CODE" >"$project/setup.inf"
  printf '[BUILDING]\r\n2=Yes\r\nCURRENTBUILD=Cabinet\r\n' >>"$project/setup.inf"
  e2e_any_machine >>"$project/setup.inf"
  printf '[NTSERVICE]\r\nTOTAL=2\r\n' >>"$project/setup.inf"
  printf 'A0=TarnwickDemoSvc\r\nB0=Tarnwick Demo Service\r\nC0=SERVICE_WIN32_OWN_PROCESS\r\nD0=SERVICE_AUTO_START\r\n' >>"$project/setup.inf"
  printf 'E0=SERVICE_ERROR_CRITICAL\r\nF0="<InstallDir>svc.exe" -service\r\n' >>"$project/setup.inf"
  printf 'A1=TarnwickDemoUi\r\nB1=Tarnwick Demo Desktop\r\nC1=SERVICE_INTERACTIVE_PROCESS\r\nD1=no such start\r\n' >>"$project/setup.inf"
  # Unquoted, with a blank in the folder: the engine quotes the program, not its argument.
  printf 'F1=<InstallDir>svc.exe -ui\r\n' >>"$project/setup.inf"
  printf 'C:\\src\\svc.exe\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n' >"$project/data.inf"
}

reg_value() {  # KEY NAME -> the data column of `reg query`
  e2e_wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}

e2e_begin services
project=$E2E_DIR/project
packed=$E2E_DIR/packed
write_project "$project"
e2e_pack "$project" "$packed" >/dev/null

e2e_install_silently "$packed"

svc="$SERVICES\\TarnwickDemoSvc"
e2e_assert_eq '"C:\Service Demo\svc.exe" -service' "$(reg_value "$svc" ImagePath)" "ImagePath"
e2e_assert_eq '0x10' "$(reg_value "$svc" Type)" "own process"
e2e_assert_eq '0x2' "$(reg_value "$svc" Start)" "automatic start"
e2e_assert_eq '0x3' "$(reg_value "$svc" ErrorControl)" "critical error control"
ui="$SERVICES\\TarnwickDemoUi"
e2e_assert_eq '0x110' "$(reg_value "$ui" Type)" "interactive rides on an own process"
e2e_assert_eq '"C:\Service Demo\svc.exe" -ui' "$(reg_value "$ui" ImagePath)" "a program path with a blank is quoted"
e2e_assert_eq '0x3' "$(reg_value "$ui" Start)" "an unknown start text starts on demand"
state=$(e2e_wine sc query TarnwickDemoSvc 2>/dev/null | tr -d '\r' | awk '$1 == "STATE" { print $4 }')
e2e_assert_eq 'STOPPED' "$state" "the service manager knows the service and it was not started"

log=$E2E_DRIVE_C/windows/Installer/$CODE/uninstall.log
e2e_assert_file "$log" "uninstall log"
e2e_assert_eq $'NTSERVICE=TarnwickDemoSvc\r\nNTSERVICE=TarnwickDemoUi\r' "$(grep '^NTSERVICE=' "$log")" "NTSERVICE entries"
