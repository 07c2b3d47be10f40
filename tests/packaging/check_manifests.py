#!/usr/bin/env python3
"""The checksums and the package managers' manifests that the build writes beside the packages: each
parses, names the project's version and carries the SHA-256 of the packages just built, and every file
a manifest points into the zip is there.
    check_manifests.py CMAKELISTS SETUP ZIP OUT
"""
import hashlib
import json
import os
import re
import sys
import zipfile

import yaml

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as stream:
        for block in iter(lambda: stream.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest()


def main(cmakelists, setup, zip_path, out):
    with open(cmakelists, encoding="utf-8") as stream:
        version = re.search(r"project\(Orvanter VERSION ([0-9.]+)", stream.read()).group(1)
    hashes = {os.path.basename(setup): sha256(setup), os.path.basename(zip_path): sha256(zip_path)}
    with zipfile.ZipFile(zip_path) as archive:
        zipped = set(archive.namelist())

    # SHA256SUMS in the format of sha256sum.
    with open(os.path.join(out, "SHA256SUMS"), encoding="ascii") as stream:
        sums = dict(reversed(line.split("  ", 1)) for line in stream.read().splitlines())
    expect(sums == hashes, f"SHA256SUMS: {sums} instead of {hashes}")

    winget = {}
    for kind in ("", ".installer", ".locale.en-US"):
        with open(os.path.join(out, "winget", f"Keldrastic.Orvanter{kind}.yaml"), encoding="utf-8") as stream:
            winget[kind] = yaml.safe_load(stream)
    for kind, manifest in winget.items():
        expect(manifest["PackageIdentifier"] == "Keldrastic.Orvanter", f"winget{kind}: identifier")
        expect(manifest["PackageVersion"] == version, f"winget{kind}: version {manifest['PackageVersion']}")
        expect(manifest["ManifestVersion"] == winget[""]["ManifestVersion"], f"winget{kind}: schema")
    expect([m["ManifestType"] for m in winget.values()] == ["version", "installer", "defaultLocale"],
           "winget: manifest types")
    expect(winget[""]["DefaultLocale"] == winget[".locale.en-US"]["PackageLocale"], "winget: locale")
    for field in ("Publisher", "PackageName", "License", "ShortDescription"):
        expect(winget[".locale.en-US"].get(field), f"winget locale: {field}")

    installers = {i["InstallerType"]: i for i in winget[".installer"]["Installers"]}
    setup_entry, zip_entry = installers.get("nullsoft", {}), installers.get("zip", {})
    expect(setup_entry.get("InstallerSha256") == hashes[os.path.basename(setup)].upper(), "winget: setup hash")
    expect(setup_entry.get("InstallerUrl", "").endswith("/" + os.path.basename(setup)), "winget: setup url")
    expect(setup_entry.get("Scope") == "user", "winget: setup scope")
    expect(setup_entry.get("InstallerSwitches", {}).get("Silent") == "/S", "winget: silent switch")
    entry = (setup_entry.get("AppsAndFeaturesEntries") or [{}])[0]
    expect(entry.get("DisplayVersion") == version, "winget: DisplayVersion")
    expect(entry.get("Publisher") == winget[".locale.en-US"]["Publisher"], "winget: Publisher")
    expect(entry.get("ProductCode") and entry.get("ProductCode") == setup_entry.get("ProductCode"),
           "winget: ProductCode")
    expect(zip_entry.get("InstallerSha256") == hashes[os.path.basename(zip_path)].upper(), "winget: zip hash")
    expect(zip_entry.get("InstallerUrl", "").endswith("/" + os.path.basename(zip_path)), "winget: zip url")
    expect(zip_entry.get("NestedInstallerType") == "portable", "winget: nested installer type")
    for nested in zip_entry.get("NestedInstallerFiles", [None]):
        path = (nested or {}).get("RelativeFilePath", "").replace("\\", "/")
        expect(path in zipped, f"winget: {path!r} is not in the zip")

    with open(os.path.join(out, "scoop", "orvanter.json"), encoding="utf-8") as stream:
        scoop = json.load(stream)
    expect(scoop["version"] == version, f"scoop: version {scoop['version']}")
    expect(scoop["hash"] == hashes[os.path.basename(zip_path)], "scoop: hash")
    expect(scoop["url"].endswith("/" + os.path.basename(zip_path)), "scoop: url")
    inside = scoop.get("extract_dir", "") + "/"
    expect(inside + scoop["bin"] in zipped, f"scoop: bin {scoop['bin']!r} is not in the zip")
    for shortcut in scoop["shortcuts"]:
        expect(inside + shortcut[0] in zipped, f"scoop: shortcut {shortcut[0]!r} is not in the zip")
    expect(set(scoop["persist"]) == {"Bat", "Log"}, "scoop: persist")

    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
