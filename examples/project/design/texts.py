"""The wizard's texts in English and German, by language-file section and key.

make_theme.py writes them into language.lan, languages/English.lan and languages/German.lan, and
puts the English ones into the layout files as the captions they start with. Square brackets
stand for angle brackets: setup turns [ProductName] into <ProductName> when it takes a text, and
then expands it. The "REQ" messages are the exception: they are expanded as they stand, which only
happens when they hold an angle bracket, so they use <ProductName> directly.
"""

CANCEL = ("Cancel", "Abbrechen")
BACK = ("< &Back", "< &Zur\u00fcck")
NEXT = ("&Next >", "&Weiter >")
FRAME = ("[ProductName] [ProductVersion]", "[ProductName] [ProductVersion]")
CHANGE = ("&Change...", "\u00c4&ndern...")
LAUNCH = ("Launch the program", "Programm starten")
README = ("Show the readme file", "Infodatei anzeigen")

# section -> key -> (English, German)
TEXTS = {
    "InstallWelcome": {
        "0": CANCEL,
        "1": BACK,
        "2": NEXT,
        "3": ("Welcome to the [ProductName] Setup Wizard",
              "Willkommen beim Installations-Assistenten f\u00fcr [ProductName]"),
        "4": ("The Setup Wizard will install [ProductName] [ProductVersion] on your computer. We recommend "
              "that you close all other programs before you continue.",
              "Der Installations-Assistent installiert [ProductName] [ProductVersion] auf Ihrem Computer. "
              "Es wird empfohlen, alle anderen Programme zu schlie\u00dfen, bevor Sie fortfahren."),
        "5": ("To continue, click Next.", "Klicken Sie auf \u201eWeiter\u201c, um fortzufahren."),
    },
    "LicenseAgreement": {
        "0": CANCEL,
        "2": FRAME,
        "3": ("Please read the following license agreement carefully.",
              "Bitte lesen Sie den folgenden Lizenzvertrag sorgf\u00e4ltig durch."),
        "4": ("License Agreement", "Lizenzvertrag"),
        "5": BACK,
        "6": NEXT,
    },
    "ReadmeInformation": {
        "0": CANCEL,
        "2": FRAME,
        "3": ("Please read the following information before you install [ProductName].",
              "Bitte lesen Sie die folgenden Informationen, bevor Sie [ProductName] installieren."),
        "4": ("Readme Information", "Wichtige Informationen"),
        "5": BACK,
        "6": NEXT,
    },
    "CustomerInformation": {
        "0": CANCEL,
        "2": FRAME,
        "3": ("Please enter your information.", "Bitte geben Sie Ihre Daten ein."),
        "4": ("Customer Information", "Benutzerinformationen"),
        "5": BACK,
        "6": NEXT,
        "7": ("User name:", "Benutzername:"),
        "8": ("Organization:", "Organisation:"),
        "9": ("Install this program for:", "Dieses Programm installieren f\u00fcr:"),
        "10": ("Your name and organization are kept with the program on this computer.",
               "Name und Organisation werden mit dem Programm auf diesem Computer gespeichert."),
    },
    "DestinationFolder": {
        "0": CANCEL,
        "2": FRAME,
        "3": ("Click Next to install to this folder, or click Change to install to a different folder.",
              "Klicken Sie auf \u201eWeiter\u201c, um in diesen Ordner zu installieren, oder auf "
              "\u201e\u00c4ndern\u201c, um einen anderen Ordner zu w\u00e4hlen."),
        "4": ("Destination Folder", "Zielordner"),
        "5": BACK,
        "6": NEXT,
        "7": CHANGE,
        "8": ("Install [ProductName] to:", "[ProductName] installieren in:"),
    },
    "SetupType": {
        "0": CANCEL,
        "2": FRAME,
        "3": ("Choose the setup type that best suits your needs.",
              "W\u00e4hlen Sie die Installationsart, die Ihren Anforderungen am besten entspricht."),
        "4": ("Setup Type", "Installationsart"),
        "5": BACK,
        "6": ("Please select a setup type.", "Bitte w\u00e4hlen Sie eine Installationsart."),
        "7": NEXT,
        "8": ("The most common program features will be installed. Recommended for most users.",
              "Die gebr\u00e4uchlichsten Programmfunktionen werden installiert. F\u00fcr die meisten "
              "Benutzer empfohlen."),
        "9": ("Choose which program features will be installed. Recommended for advanced users.",
              "Sie w\u00e4hlen, welche Programmfunktionen installiert werden. F\u00fcr erfahrene "
              "Benutzer empfohlen."),
        "10": ("Only the features that [ProductName] needs to run will be installed.",
               "Nur die Funktionen, die [ProductName] zum Ausf\u00fchren ben\u00f6tigt, werden installiert."),
    },
    "CustomSetup": {
        "2": CANCEL,
        "4": FRAME,
        "5": ("Select the program features you want installed. Click a feature to change it.",
              "W\u00e4hlen Sie die Programmfunktionen, die installiert werden sollen. Klicken Sie auf eine "
              "Funktion, um sie zu \u00e4ndern."),
        "6": ("Custom Setup", "Benutzerdefinierte Installation"),
        "7": BACK,
        "8": ("Install to:", "Installieren in:"),
        "9": NEXT,
        "11": CHANGE,
        "13": ("Feature Description", "Funktionsbeschreibung"),
    },
    "ReadyToInstall": {
        "0": CANCEL,
        "2": FRAME,
        "3": ("The wizard is ready to begin the installation.",
              "Der Assistent ist bereit, mit der Installation zu beginnen."),
        "4": ("Ready to Install the Program", "Bereit zur Installation"),
        "5": ("&Install", "&Installieren"),
        "6": BACK,
        "9": ("Click Install to begin. Setup will use these settings:",
              "Klicken Sie auf \u201eInstallieren\u201c, um zu beginnen. Ihre Einstellungen:"),
        "16": ("To review or change them, click Back. Click Cancel to exit the wizard.",
               "Zum \u00c4ndern klicken Sie auf \u201eZur\u00fcck\u201c, zum Beenden auf \u201eAbbrechen\u201c."),
    },
    "SetupProgress": {
        "0": CANCEL,
        "2": FRAME,
        "3": ("The program features you selected are being installed.",
              "Die ausgew\u00e4hlten Programmfunktionen werden installiert."),
        "4": ("Installing [ProductName]", "[ProductName] wird installiert"),
        "5": BACK,
        "6": ("Please wait while the Setup Wizard installs [ProductName]. This may take several minutes.",
              "Bitte warten Sie, w\u00e4hrend der Installations-Assistent [ProductName] installiert. Dies "
              "kann einige Minuten dauern."),
        "7": NEXT,
        "11": ("Status:", "Status:"),
        # The uninstaller's page reads this section too.
        "12": ("Please wait while [ProductName] is removed from your computer.",
               "Bitte warten Sie, w\u00e4hrend [ProductName] von Ihrem Computer entfernt wird."),
    },
    "SetupCompleteSuccess": {
        "0": CANCEL,
        "1": NEXT,
        "2": BACK,
        # The finish button keeps its caption in every language, so the German text does not name it.
        "4": ("The Setup Wizard has successfully installed [ProductName]. Click Finish to exit the wizard.",
              "Der Installations-Assistent hat [ProductName] erfolgreich installiert."),
        "6": LAUNCH,
        "7": README,
    },
    "SetupCompleteError": {
        "3": ("Setup was interrupted before [ProductName] could be completely installed. To install the "
              "program later, run Setup again.",
              "Die Installation wurde abgebrochen, bevor [ProductName] vollst\u00e4ndig installiert war. Um "
              "das Programm sp\u00e4ter zu installieren, f\u00fchren Sie das Setup erneut aus."),
        "6": LAUNCH,
        "7": README,
    },
    "SetupError": {
        "0": ("&Yes", "&Ja"),
        "1": ("&No", "&Nein"),
        "2": CANCEL,
        "3": ("OK", "OK"),
        "4": ("&Abort", "&Beenden"),
        "5": ("&Ignore", "&Ignorieren"),
        "6": ("&Retry", "&Wiederholen"),
    },
    "CancelSetup": {
        "0": ("Are you sure you want to cancel the [ProductName] installation?",
              "M\u00f6chten Sie die Installation von [ProductName] wirklich abbrechen?"),
        "1": ("&No", "&Nein"),
        "2": ("&Yes", "&Ja"),
    },
    "SETUP": {
        "0": ("Please wait while Setup prepares to install [ProductName]...",
              "Bitte warten Sie, w\u00e4hrend das Setup die Installation von [ProductName] vorbereitet..."),
        "1": CANCEL,
    },
    "Value": {
        "0": ("I &do not accept the terms of the license agreement",
              "Ich &lehne die Bedingungen des Lizenzvertrags ab"),
        "1": ("I &accept the terms of the license agreement",
              "Ich &akzeptiere die Bedingungen des Lizenzvertrags"),
        "2": ("&Typical", "&Standard"),
        "3": ("&Minimal", "&Minimal"),
        "4": ("C&ustom", "&Benutzerdefiniert"),
        "8": ("&Anyone who uses this computer (all users)", "&Alle Benutzer dieses Computers"),
        "9": ("Only for &me", "Nur f\u00fcr &mich"),
    },
    "REQ": {
        "0": ("This program needs a newer version of Windows.",
              "Dieses Programm ben\u00f6tigt eine neuere Windows-Version."),
        "1": ("<ProductName> needs more display colors. Please raise the color depth and run Setup again.",
              "<ProductName> ben\u00f6tigt eine h\u00f6here Farbtiefe. Bitte \u00e4ndern Sie die "
              "Anzeigeeinstellungen und f\u00fchren Sie das Setup erneut aus."),
        "2": ("<ProductName> needs a higher screen resolution.",
              "<ProductName> ben\u00f6tigt eine h\u00f6here Bildschirmaufl\u00f6sung."),
        "3": ("This computer does not have enough memory (RAM) to run <ProductName>.",
              "Dieser Computer hat nicht gen\u00fcgend Arbeitsspeicher (RAM) f\u00fcr <ProductName>."),
        "4": ("The processor of this computer is not supported by <ProductName>.",
              "Der Prozessor dieses Computers wird von <ProductName> nicht unterst\u00fctzt."),
    },
}

LANGUAGES = ("English", "German")


def text(section, key, language="English"):
    """A text as the language file holds it."""
    return TEXTS[section][key][LANGUAGES.index(language)]


def caption(section, key):
    """The English text as setup writes it into a layout: square brackets become angle brackets."""
    return text(section, key).replace("[", "<").replace("]", ">")
