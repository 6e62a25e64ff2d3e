#!/usr/bin/env python3
"""Writes the sample project's default theme (python3, standard library only).

    python3 design/make_theme.py        (from the project folder, or from anywhere)

writes theme/*.lcd (one layout per standard page), theme/side.gif, theme/emblem.gif, setup.gif
(through make_pictures.py) and the language files language.lan, languages/English.lan and
languages/German.lan (from texts.py). Sizes, colours and fonts live here once, so a page can be
moved or recoloured by editing a constant and running the script again.

How setup reads the layouts shapes them:
  - Controls are created from the last INFO line to the first; a control created later is drawn
    over one created earlier and comes later in the tab order. Pages are therefore written down
    in creation order (backgrounds first, the buttons last) and the INFO list is that list reversed.
  - A control's property block is 3000 + its INFO line, because setup's language switch finds a
    control's name in block "300<i>,0" and rewrites its caption in "300<i>,1" ("30<i>" from line 10).
  - Labels fill their background unless it is exactly the system face colour, which differs
    between Windows versions; every label names the colour it sits on, so it blends in anywhere.
  - Radio areas draw nothing of their own, so every choice is a check box: the pages set the marks.
  - Only the first 31 controls created answer clicks, so no page holds more than 31 controls.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PROJECT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep the project folder free of caches

import make_pictures  # noqa: E402
from texts import LANGUAGES, TEXTS, caption, text  # noqa: E402

# Colours, as layouts write them.
WHITE = "255,255,255"
BODY = "246,247,249"
LINE = "214,218,224"
DARK = "32,38,46"
MUTED = "92,100,112"
SOFT = "150,156,166"
ACCENT = "0,99,177"

FONT = "Tahoma"

# The wizard window (outer size) and the places in its client area that every page shares.
WIZARD = (500, 390)
WIDE = 520  # bands and lines run past the right edge, whatever the frame takes
HEADER = 54  # height of the white band of the inner pages
SIDE_W, SEPARATOR = make_pictures.SIDE_SIZE  # the side picture ends at the line above the buttons
BUTTON_Y, BUTTON_W, BUTTON_H = 312, 80, 24
BACK_X, NEXT_X, CANCEL_X = 214, 296, 390
LEFT, BODY_W = 24, 446  # text column of the inner pages

CAPTION = "<ProductName> Setup"

# Kinds whose name comes from property 0, and the default names of the others.
NAMED_BY_VALUE = {"BUTTON", "TEXT", "TEXTBOX", "COMBOBOX", "RADIO", "PROGRESS", "TREEVIEW", "CHECKBOX", "RICHTEXT"}
DEFAULT_NAMES = {"BITMAP": "IDB_BITMAP", "HOVER": "IDC_HOVER", "RECT": "IDC_RECT", "HOTSPOT": "IDC_HOTSPOT",
                 "ANIMATION": "IDC_ANIMATION", "LISTVIEW": "IDC_LISTVIEW", "GROUPBOX": "IDC_GROUPBOX",
                 "ICON": "IDC_ICON", "FRAME": "IDC_FRAME"}
MAX_CLICKABLE = 31
MAX_PER_KIND = 15
MAX_PROPERTIES = 15
MAX_VALUE = 254  # setup reads every layout and language value into 255 bytes


class Control:
    def __init__(self, kind, x, y, w, h, props, name=None, image=""):
        self.kind, self.rect, self.props, self.name, self.image = kind, (x, y, w, h), props, name, image


# ---------------------------------------------------------------------------------------------
# Controls


def label(name, words, x, y, w, h, back, size=8, bold=False, color=DARK, align="1 - Left"):
    return Control("TEXT", x, y, w, h, [
        ("Name", name), ("Caption", words), ("Text Align", align), ("Text Color", color), ("BackColor", back),
        ("Font", FONT), ("Font Size", str(size)), ("Bold", "Yes" if bold else "No"), ("Italic", "No"),
        ("URL Link", "No")], name)


def button(name, words, x, y=BUTTON_Y, w=BUTTON_W, h=BUTTON_H):
    return Control("BUTTON", x, y, w, h, [
        ("Name", name), ("Caption", words), ("Text Align", "0 - Center"), ("Font", FONT), ("Font Size", "8"),
        ("Bold", "No"), ("Italic", "No"), ("On Click", "[Do Nothing]")], name)


def band(x, y, w, h, color):
    return Control("RECT", x, y, w, h, [("Name", None), ("BackColor", color)])


def picture(file, x, y, w, h, back):
    return Control("BITMAP", x, y, w, h, [("Name", None), ("FileName", "{%s}" % file), ("BackColor", back)],
                   image=file)


def icon(which, x, y, back):
    return Control("ICON", x, y, 32, 32, [("Name", None), ("Icon File:", which), ("BackColor:", back)])


def check(name, words, x, y, w, back, h=18):
    return Control("CHECKBOX", x, y, w, h, [("Name", name), ("Text", words), ("BackColor", back),
                                            ("Text Color", DARK)], name)


def group(words, x, y, w, h, back):
    return Control("GROUPBOX", x, y, w, h, [("Name", None), ("Caption", words), ("BackColor", back)])


def plain(kind, name, x, y, w, h):
    """A standard Windows control that takes nothing but its name: text box, list, bar, tree."""
    return Control(kind, x, y, w, h, [("Name", name)], name)


# ---------------------------------------------------------------------------------------------
# The parts pages share


def navigation(section, back_key, next_key, cancel_key, next_name="IDC_NEXT", next_words=None):
    return [button("IDC_BACK", caption(section, back_key), BACK_X),
            button(next_name, next_words or caption(section, next_key), NEXT_X),
            button("IDCANCEL", caption(section, cancel_key), CANCEL_X)]


def inner_page(section, keys, body):
    """An inner page: the white header band with title, subtitle and emblem, the body on the page
    colour, the line above the buttons with the product line and the buttons beside it. keys names
    the language keys of title, subtitle, frame text, back, next and cancel."""
    title, subtitle, frame = (caption(section, keys[k]) for k in ("title", "subtitle", "frame"))
    return (framed(title, subtitle, frame, body) +
            navigation(section, keys["back"], keys["next"], keys["cancel"]))


def framed(title, subtitle, frame, body):
    """The header band, the line above the buttons and the product line, around a page's body."""
    return ([band(0, SEPARATOR, WIDE, 1, LINE), band(0, SEPARATOR + 1, WIDE, 1, WHITE),
             band(0, 0, WIDE, HEADER, WHITE), band(0, HEADER, WIDE, 1, LINE)] + body +
            [label("IDC_TITLE", title, 20, 11, 400, 17, WHITE, size=9, bold=True),
             label("IDC_SUBTITLE", subtitle, 32, 28, 386, 26, WHITE, color=MUTED),
             picture("emblem.gif", 422, 3, 48, 48, WHITE),
             label("IDC_TWFRAME", frame, 14, BUTTON_Y + 5, 190, 14, BODY, color=SOFT)])


def side_page(body, buttons):
    """The welcome and completion look: the picture band on the left, white beside it, the
    buttons on the page colour below the line."""
    return ([band(0, SEPARATOR + 1, WIDE, 120, BODY), band(0, SEPARATOR, WIDE, 1, LINE),
             picture("side.gif", 0, 0, SIDE_W, SEPARATOR, BODY)] + body + buttons)


def headline(name, words):
    return label(name, words, 180, 20, 296, 66, WHITE, size=13, bold=True, color=ACCENT)


def small_window(body):
    """The small pages (start, language, cancel, error, uninstall): white, a thin accent line on top."""
    return [band(0, 0, WIDE, 3, ACCENT)] + body


STANDARD_KEYS = {"cancel": "0", "frame": "2", "subtitle": "3", "title": "4", "back": "5", "next": "6"}

# ---------------------------------------------------------------------------------------------
# The pages


def welcome():
    s = "InstallWelcome"
    return side_page([
        headline("IDC_STATIC1", caption(s, "3")),
        label("IDC_STATIC2", caption(s, "4"), 180, 94, 292, 80, WHITE),
        label("IDC_STATIC3", caption(s, "5"), 180, 150, 292, 16, WHITE),
    ], navigation(s, "1", "2", "0"))


def license_page():
    return inner_page("LicenseAgreement", STANDARD_KEYS, [
        plain("RICHTEXT", "IDC_LICENSE", LEFT, 64, BODY_W, 174),
        check("IDC_ACCEPTLICENSE", caption("Value", "1"), LEFT, 246, BODY_W, BODY),
        check("IDC_NOTACCEPTLICENSE", caption("Value", "0"), LEFT, 266, BODY_W, BODY),
    ])


def readme():
    return inner_page("ReadmeInformation", STANDARD_KEYS, [
        plain("RICHTEXT", "IDC_README", LEFT, 64, BODY_W, 222),
    ])


def customer():
    s = "CustomerInformation"
    return inner_page(s, STANDARD_KEYS, [
        label("IDC_STATIC1", caption(s, "7"), LEFT, 70, 300, 14, BODY),
        plain("TEXTBOX", "IDC_USERNAME", LEFT, 86, 300, 21),
        label("IDC_STATIC2", caption(s, "8"), LEFT, 118, 300, 14, BODY),
        plain("TEXTBOX", "IDC_ORGANIZATION", LEFT, 134, 300, 21),
        label("IDC_STATIC3", caption(s, "9"), LEFT, 172, 300, 14, BODY),
        check("IDC_ANYONE", caption("Value", "8"), 40, 190, 420, BODY),
        check("IDC_ONLYFORME", caption("Value", "9"), 40, 210, 420, BODY),
        label("IDC_STATIC4", caption(s, "10"), LEFT, 256, BODY_W, 28, BODY, color=MUTED),
    ])


def destination():
    s = "DestinationFolder"
    return inner_page(s, STANDARD_KEYS, [
        icon("IDI_FOLDER", LEFT, 72, BODY),
        label("IDC_STATIC1", caption(s, "8"), 68, 72, 300, 16, BODY),
        label("IDC_INSTALLDIR", "<InstallDir>", 68, 90, 300, 44, BODY, bold=True),
        button("IDC_BROWSE", caption(s, "7"), 376, 76, 84),
    ])


def setup_type():
    s = "SetupType"
    body = [label("IDC_STATIC1", caption(s, "6"), LEFT, 66, BODY_W, 16, BODY)]
    # One row per type: its icon, its box and what it means.
    for top, which, name, value_key, text_name, text_key in (
            (92, "IDI_TYPICAL", "IDC_TYPICAL", "2", "IDC_STATIC2", "8"),
            (156, "IDI_MINIMAL", "IDC_MINIMAL", "3", "IDC_STATIC3", "10"),
            (220, "IDI_CUSTOM", "IDC_CUSTOM", "4", "IDC_STATIC4", "9")):
        body += [icon(which, 32, top, BODY),
                 check(name, caption("Value", value_key), 78, top - 2, 380, BODY),
                 label(text_name, caption(s, text_key), 96, top + 18, 370, 28, BODY, color=MUTED)]
    keys = dict(STANDARD_KEYS, next="7")
    return inner_page(s, keys, body)


def custom_setup():
    s = "CustomSetup"
    keys = {"cancel": "2", "frame": "4", "subtitle": "5", "title": "6", "back": "7", "next": "9"}
    return inner_page(s, keys, [
        group(caption(s, "13"), 296, 60, 174, 176, BODY),
        plain("TREEVIEW", "IDC_FEATURES", LEFT, 66, 260, 170),
        label("IDC_FEATUREINFO", "", 306, 80, 154, 148, BODY, color=MUTED),
        label("IDC_STATIC1", caption(s, "8"), LEFT, 246, 300, 14, BODY),
        label("IDC_INSTALLDIR", "<InstallDir>", LEFT, 262, 340, 30, BODY, bold=True),
        button("IDC_BROWSE", caption(s, "11"), 376, 252, 84),
    ])


def ready():
    s = "ReadyToInstall"
    keys = dict(STANDARD_KEYS, next="5", back="6")
    return inner_page(s, keys, [
        label("IDC_STATIC1", caption(s, "9"), LEFT, 62, BODY_W, 16, BODY),
        # Tall enough for the whole summary, which has no scroll bar.
        plain("TEXTBOX", "IDC_SETTINGS", LEFT, 80, BODY_W, 188),
        label("IDC_STATIC2", caption(s, "16"), LEFT, 274, BODY_W, 16, BODY),
    ])


def progress():
    s = "SetupProgress"
    keys = dict(STANDARD_KEYS, next="7")
    return inner_page(s, keys, [
        label("IDC_STATIC1", caption(s, "6"), LEFT, 68, BODY_W, 30, BODY),
        label("IDC_STATIC2", caption(s, "11"), LEFT, 112, 50, 16, BODY, bold=True),
        label("IDC_INFO", "Starting copying files...", 76, 112, 392, 16, BODY),
        plain("PROGRESS", "IDC_PROGRESS1", LEFT, 134, BODY_W, 18),
        label("IDC_INSTALLINFO", "", LEFT, 160, BODY_W, 30, BODY, color=MUTED),
        # Shown only while a file is downloaded; setup hides it when the page opens.
        plain("PROGRESS", "IDC_DOWNLOADPROGRESS", LEFT, 198, BODY_W, 12),
    ])


def complete():
    s = "SetupCompleteSuccess"
    return side_page([
        # No language key reaches this line, so it names the product rather than saying anything.
        headline("IDC_HEADLINE", "<ProductName> <ProductVersion>"),
        label("IDC_INSTALLSTATUS", caption(s, "4"), 180, 94, 292, 70, WHITE),
        check("IDC_LAUNCHFILE", caption(s, "6"), 180, 178, 292, WHITE),
        check("IDC_LAUNCHREADME", caption(s, "7"), 180, 200, 292, WHITE),
    ], navigation(s, "2", None, "0", next_name="IDC_FINISH", next_words="&Finish"))


def start():
    s = "SETUP"
    return small_window([
        picture("emblem.gif", 16, 16, 48, 48, WHITE),
        label("IDC_STATIC1", caption(s, "0"), 78, 22, 278, 44, WHITE),
        button("IDCANCEL", caption(s, "1"), 270, 74),
    ])


def ask_user():
    # Shown before a language is chosen, so it asks in both languages and no language file touches it.
    return small_window([
        picture("emblem.gif", 16, 18, 48, 48, WHITE),
        label("IDC_PROMPT", "Please select the language for the installation:", 80, 20, 290, 16, WHITE),
        label("IDC_PROMPT2", "Bitte w\u00e4hlen Sie die Sprache f\u00fcr die Installation:", 80, 38, 290, 16, WHITE,
              color=MUTED),
        plain("COMBOBOX", "IDC_LANGUAGE", 80, 66, 220, 120),
        button("IDC_SETLANGUAGE", "OK", 200, 132),
        button("IDCANCEL", "Cancel", 290, 132),
    ])


def third_party():
    # The merge-module page runs on its own timer; Back or Next here would move the wizard on under
    # it, so this page has no buttons. No language file reaches it.
    return framed("Installing additional components",
                  "Setup is installing the components that <ProductName> needs.", "<ProductName> <ProductVersion>", [
                      icon("IDI_SETUP", LEFT, 74, BODY),
                      label("IDC_STATIC1", "Please wait while Setup installs the additional components. This may "
                            "take a few minutes.", 68, 76, 400, 30, BODY)])


def cancel_setup():
    s = "CancelSetup"
    return small_window([
        icon("IDI_EXCLAMATION", 20, 20, WHITE),
        label("IDC_STATIC1", caption(s, "0"), 66, 24, 310, 40, WHITE),
        button("IDYES", caption(s, "2"), 198, 86),
        button("IDNO", caption(s, "1"), 288, 86),
    ])


def setup_error():
    s = "SetupError"
    return small_window([
        icon("IDI_ERROR", 20, 20, WHITE),
        label("IDC_MESSAGE", "An error occurred while Setup was installing <ProductName>.", 66, 24, 330, 44,
              WHITE),
        button("IDRETRY", caption(s, "6"), 132, 96),
        button("IDIGNORE", caption(s, "5"), 220, 96),
        button("IDABORT", caption(s, "4"), 308, 96),
    ])


def uninstall():
    s = "SetupProgress"
    return small_window([
        picture("emblem.gif", 16, 18, 48, 48, WHITE),
        label("IDC_HEADLINE", "<ProductName>", 78, 20, 330, 18, WHITE, size=10, bold=True),
        label("IDC_STATIC1", caption(s, "12"), 78, 42, 330, 30, WHITE),
        plain("PROGRESS", "IDC_PROGRESS1", 78, 80, 330, 16),
        # The uninstaller's language key for this button is the progress page's Cancel.
        button("IDYES", caption(s, "0"), 328, 126),
    ])


# file, page name, window size, background, close box, controls
PAGES = [
    ("start.lcd", "IDD_START", (380, 150), WHITE, True, start),
    ("askuser.lcd", "IDD_ASKUSER", (400, 210), WHITE, True, ask_user),
    ("welcome.lcd", "IDD_WELCOME", WIZARD, WHITE, True, welcome),
    ("license.lcd", "IDD_LICENSE", WIZARD, BODY, True, license_page),
    ("readme.lcd", "IDD_README", WIZARD, BODY, True, readme),
    ("customer.lcd", "IDD_CUSTOMER", WIZARD, BODY, True, customer),
    ("destination.lcd", "IDD_DESTINATION", WIZARD, BODY, True, destination),
    ("setuptype.lcd", "IDD_SETUPTYPE", WIZARD, BODY, True, setup_type),
    ("customsetup.lcd", "IDD_CUSTOMSETUP", WIZARD, BODY, True, custom_setup),
    ("ready.lcd", "IDD_READY", WIZARD, BODY, True, ready),
    ("progress.lcd", "IDD_PROGRESS", WIZARD, BODY, True, progress),
    # Closing the last page would ask to cancel a finished setup; Finish is the way out.
    ("complete.lcd", "IDD_COMPLETE", WIZARD, WHITE, False, complete),
    ("3rdparty.lcd", "IDD_3RDPARTY", WIZARD, BODY, False, third_party),
    ("cancelsetup.lcd", "IDD_CANCELSETUP", (400, 160), WHITE, True, cancel_setup),
    ("setuperror.lcd", "IDD_SETUPERROR", (420, 170), WHITE, True, setup_error),
    ("uninstall.lcd", "IDD_UNINSTALL", (440, 200), WHITE, True, uninstall),
]


# ---------------------------------------------------------------------------------------------
# Writing


def assign_default_names(created):
    """Names setup gives the controls whose name does not come from property 0, counted per kind
    in creation order, so that property 0 always says the name setup uses."""
    counts = {}
    for control in created:
        if control.kind in NAMED_BY_VALUE:
            continue
        counts[control.kind] = counts.get(control.kind, 0) + 1
        control.name = "%s%d" % (DEFAULT_NAMES[control.kind], counts[control.kind])
        control.props[0] = ("Name", control.name)


def check_limits(file, created):
    problems = []
    if len(created) > MAX_CLICKABLE:
        problems.append("%d controls; only the first %d created answer clicks" % (len(created), MAX_CLICKABLE))
    kinds = {}
    for control in created:
        kinds[control.kind] = kinds.get(control.kind, 0) + 1
        if len(control.props) > MAX_PROPERTIES:
            problems.append("%s has more than %d properties" % (control.name, MAX_PROPERTIES))
        for name, value in control.props:
            if "|" in value:
                problems.append("%s: a property value holds '|'" % control.name)
            if len("%s|%s|0" % (name, value)) > MAX_VALUE:
                problems.append("%s: property %s is longer than setup reads" % (control.name, name))
    problems += ["%d %s controls, more than %d" % (n, kind, MAX_PER_KIND) for kind, n in kinds.items()
                 if n > MAX_PER_KIND]
    names = [c.name for c in created]
    problems += ["two controls named %s" % n for n in sorted(set(names)) if names.count(n) > 1]
    if problems:
        raise SystemExit("%s: %s" % (file, "; ".join(problems)))


def layout_text(idcname, size, background, closable, created):
    lines = [
        "; Written by design/make_theme.py; change the script and run it again rather than editing here.",
        "[MAINWINDOW]", "idcname=" + idcname, "caption=" + CAPTION, "bkcolor=" + background, "border=1",
        "bkimage=", "soundfile=", "startup=0 - Center", "minwindow=" + ("Yes" if size == WIZARD else "No"),
        "maxwindow=No", "closewindow=" + ("Yes" if closable else "No"),
        "width=%d" % size[0], "height=%d" % size[1],
        "fontname=" + FONT, "fontsize=8", "fontbold=No", "fontitalic=No", "",
        "[INFO]", "TOTAL=%d" % len(created)]
    in_line_order = list(reversed(created))
    for i, control in enumerate(in_line_order):
        x, y, w, h = control.rect
        lines.append("%d=%s,%d,%d,%d,%d,%s,{%s},0,%d" % (i, control.name, x, y, w, h, control.kind,
                                                          control.image, 3000 + i))
    lines += ["", "[DADOS]"]
    for i, control in enumerate(in_line_order):
        block = 3000 + i
        lines.append("%d,t=%d" % (block, len(control.props)))
        lines += ["%d,%d=%s|%s|0" % (block, j, name, value) for j, (name, value) in enumerate(control.props)]
    return "\r\n".join(lines) + "\r\n"


def language_text(language):
    # A text must also fit once setup has written it into a layout as "Caption|<text>|0".
    too_long = ["%s/%s" % (section, key) for section, keys in TEXTS.items() for key in keys
                if len("Caption|%s|0" % text(section, key, language)) > MAX_VALUE]
    if too_long:
        raise SystemExit("%s texts longer than setup reads: %s" % (language, ", ".join(too_long)))
    lines = ["; %s texts of the sample project, written by design/make_theme.py from design/texts.py."
             % language]
    for section, keys in TEXTS.items():
        lines += ["", "[%s]" % section]
        lines += ["%s=%s" % (key, text(section, key, language)) for key in keys]
    return "\r\n".join(lines) + "\r\n"


def write(path, content):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(content.encode("cp1252"))  # setup reads its texts as ANSI


def main():
    make_pictures.main()
    theme = os.path.join(PROJECT, "theme")
    for file, idcname, size, background, closable, build in PAGES:
        created = build()
        assign_default_names(created)
        check_limits(file, created)
        write(os.path.join(theme, file), layout_text(idcname, size, background, closable, created))
    write(os.path.join(PROJECT, "language.lan"), language_text("English"))
    for language in LANGUAGES:
        write(os.path.join(PROJECT, "languages", language + ".lan"), language_text(language))


if __name__ == "__main__":
    main()
