# The sample project's wizard, walked by the UI driver as a person would: shared by the wizard test
# and `make demo`. Source it after lib.sh and e2e_begin.
#
# wizard_prepare PROJECT_COPY PACKED: copies the sample (with the library the Windows build makes)
# and packs it; wizard_copy PROJECT_COPY only copies it.
# wizard_start PACKED: starts setup.exe; wizard_walk_to_ready: welcome to ready with the choices
# below; wizard_install_and_finish: install, Finish with the launch choice left ticked.
# WIZARD_SHOTS (optional): a folder that receives a screenshot of every page.
# WIZARD_DETOURS=1 (optional): the walk also takes the paths off the straight line a person might:
# the close box answered "No" on the welcome page, and Back from the ready page to the custom setup.

WIZARD_TITLE="Tarnwick Notes Setup"
WIZARD_USER="Ada Lovelace"
WIZARD_FOLDER='C:\Tarnwick Demo\Notes'
WIZARD_REPO=$(cd "$E2E_LIB_DIR/../.." && pwd)

# wizard_copy PROJECT_COPY: the sample with the library and the program the Windows build makes,
# ready to change before packing.
wizard_copy() {
  cp -r "$WIZARD_REPO/examples/project" "$1"
  # The library and the program are built for the same machine as the setup.exe that installs them.
  for built in notes_core.dll notes.exe; do
    [[ -f $E2E_SETUP_DIR/$built ]] || e2e_fail "missing $E2E_SETUP_DIR/$built"
    cp "$E2E_SETUP_DIR/$built" "$1/payload/"
  done
}

wizard_prepare() {
  wizard_copy "$1"
  e2e_pack "$1" "$2" >/dev/null
}

wizard_start() {
  cd "$1"
  e2e_wine_bg "$1/setup.exe"
  cd - >/dev/null
}

# control_id LAYOUT NAME: the window id a page gives its control NAME. Lines are created from the
# last to the first, the last one getting 3000.
control_id() {
  python3 - "$1" "$2" <<'PY'
import sys
lines = open(sys.argv[1], encoding="latin-1").read().splitlines()
section, info, names = "", {}, {}
for line in lines:
    line = line.strip()
    if line.startswith("["):
        section = line.strip("[]").upper()
    elif "=" in line:
        key, value = line.split("=", 1)
        if section == "INFO":
            info[key.strip().upper()] = value
        elif section == "DADOS" and key.strip().endswith(",0"):
            names[key.strip()[:-2]] = value.split("|")[1] if "|" in value else ""
total = int(info["TOTAL"])
for i in range(total):
    block = info[str(i)].split(",")[8]
    if names.get(block) == sys.argv[2]:
        print(3000 + total - 1 - i)
        sys.exit(0)
sys.exit(1)
PY
}

# The id of NAME on the page LAYOUT of the sample's theme.
wizard_id() { control_id "$WIZARD_REPO/examples/project/theme/$1" "$2" || e2e_fail "no control $2 in $1"; }

# wizard_wait_text TEXT [TIMEOUT_S]: waits until the wizard's window shows a control with TEXT.
wizard_wait_text() {
  local text=$1 deadline=$((SECONDS + ${2:-30}))
  until e2e_driver texts --title "$WIZARD_TITLE" --timeout 1000 2>/dev/null | grep -qF -- "$text"; do
    _e2e_alive "$E2E_BG_PID" || e2e_fail "setup.exe ended while waiting for \"$text\""
    ((SECONDS < deadline)) || e2e_fail "no page showing \"$text\"; windows: $(e2e_driver list)"
    sleep 0.2
  done
}

# wizard_choose PATTERN CLICK_ARGS...: clicks, then waits until the trace has one line more that
# matches PATTERN: the page has taken the choice, so its picture shows it.
wizard_choose() {
  local pattern=$1 before
  shift
  before=$(grep -c -- "$pattern" "$E2E_DIR/trace.log" 2>/dev/null || true)
  wizard_click "$@"
  _wizard_trace_grown() { (($(grep -c -- "$pattern" "$E2E_DIR/trace.log" 2>/dev/null || true) > ${before:-0})); }
  e2e_wait_for 30 _wizard_trace_grown || e2e_fail "the trace never said $pattern: $(grep '^wizard' "$E2E_DIR/trace.log")"
}

wizard_shot() {
  local shot
  shot=$(e2e_shot "$1")
  if [[ -n ${WIZARD_SHOTS:-} ]]; then
    mkdir -p "$WIZARD_SHOTS"
    cp "$shot" "$WIZARD_SHOTS/$1.png"
  fi
}

wizard_click() { e2e_driver click --title "$WIZARD_TITLE" "$@" >/dev/null || e2e_fail "cannot click $*"; }
wizard_next() { wizard_click --caption "Next >"; }

# The splash and the background come first; the first page waits for the splash to close.
wizard_walk_to_ready() {
  e2e_driver wait --title "" --class TarnwickDecoration --timeout 30000 >/dev/null || e2e_fail "no splash window"
  e2e_driver wait --title "Corvane Tarnwick" --class TarnwickDecoration --timeout 30000 >/dev/null ||
    e2e_fail "no background window"
  wizard_shot 00-splash

  wizard_wait_text "Welcome to the Tarnwick Notes Setup Wizard"
  wizard_shot 01-welcome
  if [[ ${WIZARD_DETOURS:-0} == 1 ]]; then wizard_close_box_declined; fi
  wizard_next

  wizard_wait_text "License Agreement"
  wizard_choose '^wizard license accepted=yes' --caption "I accept the terms of the license agreement"
  wizard_shot 02-license
  wizard_next

  wizard_wait_text "Readme Information"
  wizard_shot 03-readme
  wizard_next

  wizard_wait_text "Customer Information"
  e2e_driver settext --title "$WIZARD_TITLE" --id "$(wizard_id customer.lcd IDC_USERNAME)" --text "$WIZARD_USER" \
    >/dev/null || e2e_fail "cannot type the user name"
  wizard_shot 04-customer
  wizard_next

  wizard_wait_text "Destination Folder"
  wizard_click --id "$(wizard_id destination.lcd IDC_BROWSE)"
  e2e_driver wait --title "Corvane Tarnwick" --class '#32770' --timeout 20000 >/dev/null || e2e_fail "no folder dialog"
  e2e_driver settext --title "Corvane Tarnwick" --class '#32770' --id 14148 --text "$WIZARD_FOLDER" >/dev/null ||
    e2e_fail "the folder dialog has no edit box"
  wizard_shot 05-browse
  e2e_driver click --title "Corvane Tarnwick" --class '#32770' --id 1 >/dev/null || e2e_fail "no OK in the folder dialog"
  e2e_driver wait --title Setup --class '#32770' --timeout 20000 >/dev/null || e2e_fail "no create-folder question"
  e2e_driver click --title Setup --class '#32770' --id 6 >/dev/null || e2e_fail "no Yes in the question"
  # The driver shows a backslash as two.
  wizard_wait_text "${WIZARD_FOLDER//\\/\\\\}\\\\"
  wizard_shot 06-destination
  wizard_next

  wizard_wait_text "Setup Type"
  wizard_choose '^wizard setup-type choice=2' --id "$(wizard_id setuptype.lcd IDC_CUSTOM)"
  wizard_shot 07-setuptype
  wizard_next

  # Samples off: its item selected, then the second entry of the feature menu.
  wizard_wait_text "Custom Setup"
  e2e_driver select --title "$WIZARD_TITLE" --id "$(wizard_id customsetup.lcd IDC_FEATURES)" --item 2 >/dev/null ||
    e2e_fail "cannot select the Samples feature"
  e2e_driver wait --title "" --class '#32768' --timeout 10000 >/dev/null || e2e_fail "no feature menu"
  for key in 40 40 13; do
    e2e_driver key --title "$WIZARD_TITLE" --vk "$key" >/dev/null
    # A pause, not a wait for a state: the menu's loop shows the driver nothing to wait for, and
    # it must have moved its highlight before the next key comes.
    sleep 0.2
  done
  e2e_driver gone --title "" --class '#32768' --timeout 10000 >/dev/null || e2e_fail "the feature menu stayed open"
  wizard_shot 08-customsetup
  wizard_next

  wizard_wait_text "Ready to Install the Program"
  wizard_shot 09-ready
  if [[ ${WIZARD_DETOURS:-0} == 1 ]]; then wizard_back_to_features; fi
}

# wizard_question_answer CAPTION: presses CAPTION in the cancel question, which must come up.
wizard_question_answer() {
  e2e_driver wait --title "Corvane Tarnwick" --class '#32770' --timeout 20000 >/dev/null || e2e_fail "no cancel question"
  e2e_driver click --title "Corvane Tarnwick" --class '#32770' --caption "$1" >/dev/null || e2e_fail "no $1 in the question"
  e2e_driver gone --title "Corvane Tarnwick" --class '#32770' --timeout 20000 >/dev/null || e2e_fail "the question stayed"
}

# wizard_pages: the dialog windows on screen, one title a line (the wizard's pages and dialogs).
wizard_pages() { e2e_driver list | awk -F'\t' '$2 == "#32770" { print $3 }'; }

# The close box asks first; "No" leaves the page up and working.
wizard_close_box_declined() {
  e2e_driver close --title "$WIZARD_TITLE" >/dev/null || e2e_fail "no page to close"
  wizard_question_answer "No"
  e2e_assert_eq "$WIZARD_TITLE" "$(wizard_pages)" "windows after declining the close box"
  wizard_wait_text "Welcome to the Tarnwick Notes Setup Wizard"
}

# Back from the ready page shows the custom setup again with Samples still off; Next returns.
wizard_back_to_features() {
  wizard_click --caption "< Back"
  wizard_wait_text "Custom Setup"
  local items
  items=$(e2e_driver items --title "$WIZARD_TITLE" --id "$(wizard_id customsetup.lcd IDC_FEATURES)") ||
    e2e_fail "cannot read the feature tree"
  e2e_assert_eq $'Program Files\t0\nHelp\t0\nSamples\t1' "$items" "features (text, image) after Back"
  wizard_next
  wizard_wait_text "Ready to Install the Program"
}

wizard_install_and_finish() {
  wizard_click --caption "Install"
  wizard_wait_text "successfully installed" 120
  wizard_shot 11-complete
  wizard_click --id "$(wizard_id complete.lcd IDC_FINISH)"
}
