#!/bin/bash
# The sample project's theme as tarnwick-page reads it: every page its setup.inf lists and every page
# setup opens by name loads, holds the named controls its page behaviour looks for (the text controls
# setup.inf names included), keeps its buttons among the controls that answer clicks and leaves no
# placeholder unexpanded; and the language files all hold the same sections and keys.
# usage: sample_theme.sh TARNWICK_PAGE PROJECT_DIR
source "$(dirname "$0")/common.sh"
page_tool=$1
project=$2
theme=$project/theme
setting() { tr -d '\r' <"$project/setup.inf" | sed -n "s/^$1=//p" | head -n 1; }

nav="IDC_BACK IDC_NEXT IDCANCEL"
inner="$nav IDC_TITLE IDC_SUBTITLE IDC_TWFRAME"
declare -A required=(
  [start.lcd]="IDC_STATIC1 IDCANCEL"
  [askuser.lcd]="IDC_LANGUAGE IDC_SETLANGUAGE IDCANCEL"
  [welcome.lcd]="$nav IDC_STATIC1 IDC_STATIC2 IDC_STATIC3"
  [license.lcd]="$inner $(setting CT1) IDC_ACCEPTLICENSE IDC_NOTACCEPTLICENSE"
  [readme.lcd]="$inner $(setting CT3)"
  [customer.lcd]="$inner IDC_USERNAME IDC_ORGANIZATION IDC_ANYONE IDC_ONLYFORME"
  [destination.lcd]="$inner IDC_INSTALLDIR IDC_BROWSE"
  [setuptype.lcd]="$inner IDC_TYPICAL IDC_MINIMAL IDC_CUSTOM"
  [customsetup.lcd]="$inner IDC_INSTALLDIR IDC_FEATUREINFO IDC_BROWSE IDC_GROUPBOX1"
  [ready.lcd]="$inner IDC_SETTINGS"
  [progress.lcd]="$inner IDC_INFO IDC_INSTALLINFO IDC_PROGRESS1 IDC_DOWNLOADPROGRESS"
  [complete.lcd]="IDC_BACK IDCANCEL IDC_FINISH IDC_INSTALLSTATUS IDC_LAUNCHFILE IDC_LAUNCHREADME"
  [3rdparty.lcd]="IDC_TITLE IDC_SUBTITLE"
  [cancelsetup.lcd]="IDC_STATIC1 IDYES IDNO"
  [setuperror.lcd]="IDRETRY IDIGNORE IDABORT"
  [uninstall.lcd]="IDC_STATIC1 IDYES IDC_PROGRESS1"
)

pages=$(seq 0 $(($(setting TOTAL1) - 1)) | while read -r i; do setting "W$i"; done)
[[ -n $pages ]] || fail "setup.inf lists no pages"
for page in $pages; do
  [[ -n ${required[$page]:-} ]] || fail "setup.inf lists $page, which is not a page of the theme"
done

for page in "${!required[@]}"; do
  expect_exit 0 "$page_tool" "$theme" "$page"
  dump=$(cat "$work/stdout")
  for name in ${required[$page]}; do
    line=$(grep -m1 "^control [0-9]* name=$name " <<<"$dump") || fail "$page has no control named $name"
    if [[ $line =~ kind=(BUTTON|CHECKBOX|RADIO)\ id=([0-9]+) ]] && ((BASH_REMATCH[2] > 3030)); then
      fail "$page: $name has id ${BASH_REMATCH[2]}, beyond the controls that answer clicks"
    fi
  done
  [[ $page != customsetup.lcd ]] || grep -q ' kind=TREEVIEW ' <<<"$dump" || fail "$page has no feature tree"
  if grep -E '(caption|text)="[^"]*<[A-Za-z][A-Za-z ]*>' <<<"$dump"; then fail "$page shows a placeholder that is not one"; fi
done

# "section/key" for every entry of a language file, sorted.
keys_of() { tr -d '\r' <"$1" | awk '/^\[/ { s = $0 } /=/ { print s "/" substr($0, 1, index($0, "=") - 1) }' | sort; }
keys_of "$project/language.lan" >"$work/default"
[[ -s $work/default ]] || fail "language.lan holds no texts"
for lan in "$project"/languages/*.lan; do
  keys_of "$lan" | diff "$work/default" - >/dev/null || fail "$lan does not hold the keys language.lan holds"
done
echo "sample theme: ${#required[@]} pages, $(wc -l <"$work/default") language keys"
