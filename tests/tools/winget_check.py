"""Checks the winget set tarnwick-pack wrote: each manifest against winget's JSON schema (the
validator the schema's $schema names), the values against what the test packed, and the zip
against the packed folder and the manifest's hash.

usage: winget_check.py WINGET_DIR SCHEMA_DIR OUT_DIR key=value...
keys: id version name publisher description license scope code url zip members (separated by |)
"""
import hashlib
import json
import os
import sys
import zipfile

import jsonschema
import yaml

RETURN_CODES = {1602: "cancelledByUser", 1603: "contactSupport", 1618: "installInProgress",
                1639: "invalidParameter", 1641: "rebootInitiated", 3010: "rebootRequiredToFinish"}
SWITCHES = {"Silent": "/S", "SilentWithProgress": "/S", "InstallLocation": "/D=<INSTALLPATH>",
            "Log": "/LOG=<LOGPATH>"}

problems = []


def expect(what, got, want):
    if got != want:
        problems.append(f"{what}: {got!r}, expected {want!r}")


def load(path, schema_path):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        manifest = yaml.safe_load(text)
    except (OSError, yaml.YAMLError) as error:
        problems.append(f"{os.path.basename(path)}: {error}")
        return {}
    header = "# yaml-language-server: $schema=" + schema["$id"]
    if header not in text.splitlines()[:3]:
        problems.append(f"{os.path.basename(path)}: no header line {header!r}")
    validator = jsonschema.validators.validator_for(schema)(schema)
    for error in validator.iter_errors(manifest):
        problems.append(f"{os.path.basename(path)}: {'/'.join(map(str, error.path))}: {error.message}")
    expect(f"{os.path.basename(path)} ManifestVersion", manifest.get("ManifestVersion"),
           schema["properties"]["ManifestVersion"]["default"])
    return manifest


def check_zip(zip_path, out_dir, members):
    with zipfile.ZipFile(zip_path) as archive:
        expect("zip member failing its CRC", archive.testzip(), None)
        if problems:
            return
        expect("zip members", sorted(archive.namelist()), sorted(members))
        for name in archive.namelist():
            # A payload name from data.inf is Windows-1252 on disk and UTF-8 in the zip.
            path = os.path.join(out_dir, name)
            if not os.path.exists(path):
                path = os.path.join(os.fsencode(out_dir), name.encode("cp1252"))
            with open(path, "rb") as f:
                if archive.read(name) != f.read():
                    problems.append(f"zip member {name} differs from the packed file")


def main():
    winget_dir, schema_dir, out_dir = sys.argv[1:4]
    want = dict(arg.split("=", 1) for arg in sys.argv[4:])
    ident = want["id"]
    schema = lambda kind: os.path.join(schema_dir, f"manifest.{kind}.latest.json")
    version = load(os.path.join(winget_dir, f"{ident}.yaml"), schema("version"))
    installer = load(os.path.join(winget_dir, f"{ident}.installer.yaml"), schema("installer"))
    locale = load(os.path.join(winget_dir, f"{ident}.locale.en-US.yaml"), schema("defaultLocale"))
    zips = [name for name in os.listdir(winget_dir) if name.endswith(".zip")]
    expect("zips written", len(zips), 1)
    if problems:
        return

    for manifest in (version, installer, locale):
        expect("PackageIdentifier", manifest["PackageIdentifier"], ident)
        expect("PackageVersion", manifest["PackageVersion"], want["version"])
    expect("DefaultLocale", version["DefaultLocale"], "en-US")
    expect("PackageLocale", locale["PackageLocale"], "en-US")
    for key, field in (("name", "PackageName"), ("publisher", "Publisher"), ("license", "License"),
                       ("description", "ShortDescription")):
        expect(field, locale[field], want[key])

    expect("installer type", (installer["InstallerType"], installer["NestedInstallerType"]), ("zip", "exe"))
    expect("nested installer", installer["NestedInstallerFiles"], [{"RelativeFilePath": "setup.exe"}])
    expect("Scope", installer["Scope"], want["scope"])
    expect("ElevationRequirement", installer["ElevationRequirement"], "elevatesSelf")
    expect("InstallModes", sorted(installer["InstallModes"]), ["interactive", "silent", "silentWithProgress"])
    expect("InstallerSwitches", installer["InstallerSwitches"], SWITCHES)
    codes = {c["InstallerReturnCode"]: c["ReturnResponse"] for c in installer["ExpectedReturnCodes"]}
    expect("ExpectedReturnCodes", codes, RETURN_CODES)
    expect("ProductCode", installer["ProductCode"], want["code"])
    expect("AppsAndFeaturesEntries", installer["AppsAndFeaturesEntries"],
           [{"DisplayName": want["name"], "Publisher": want["publisher"], "DisplayVersion": want["version"],
             "ProductCode": want["code"], "InstallerType": "exe"}])

    zip_path = os.path.join(winget_dir, zips[0])
    expect("zip name", zips[0], want["zip"])
    (entry,) = installer["Installers"]
    expect("InstallerUrl", entry["InstallerUrl"], want["url"])
    with open(zip_path, "rb") as f:
        expect("InstallerSha256", entry["InstallerSha256"], hashlib.sha256(f.read()).hexdigest().upper())
    check_zip(zip_path, out_dir, want["members"].split("|"))


if __name__ == "__main__":
    main()
    for problem in problems:
        print("FAIL:", problem, file=sys.stderr)
    sys.exit(1 if problems else 0)
