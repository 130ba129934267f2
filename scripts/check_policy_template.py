#!/usr/bin/env python3
"""Checks the administrative template (policy/PelmoraPro.admx and its
en-US ADML): both files well-formed and valid against the schema kept in
policy/schema (xmllint), every $(string.x) and $(presentation.x) of the ADMX
found in the ADML, every presentation control bound to an element of its
policy, every category and supported-on reference defined, every registry key
under SOFTWARE\\Policies\\Pelmora Pro, and the value names of the Settings
key those the programs read.

Usage: check_policy_template.py [ADMX [ADML [SCHEMA [CATALOGUE_SOURCE]]]]
Prints what is wrong and exits 1, or prints one line and exits 0."""
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
NS = {"pd": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
POLICY_ROOT = "SOFTWARE\\Policies\\Pelmora Pro"
SETTINGS_KEY = POLICY_ROOT + "\\Settings"
REFERENCE = re.compile(r"^\$\((string|presentation)\.([^)]+)\)$")


def schema_errors(paths, schema):
    result = subprocess.run(["xmllint", "--noout", "--schema", schema, *paths],
                            capture_output=True, text=True)
    if result.returncode == 0:
        return []
    return [line for line in result.stderr.splitlines() if line and "validates" not in line]


def references(admx):
    """Every $(kind.id) in an attribute of the ADMX, as (kind, id, where)."""
    found = []
    for element in admx.iter():
        for name, value in element.attrib.items():
            match = REFERENCE.match(value)
            if match:
                where = element.get("name") or element.get("id") or element.tag.split("}")[1]
                found.append((match.group(1), match.group(2), f"{where}/@{name}"))
    return found


def under_policy_root(key):
    key = key.rstrip("\\").lower()
    root = POLICY_ROOT.lower()
    return key == root or key.startswith(root + "\\")


def product_value_names(catalogue_source, catalogue_header):
    """The switch names of the settings catalogue, and the other names a
    policy may set in the Settings key."""
    with open(catalogue_source, encoding="utf-8") as source:
        switches = set(re.findall(r'\{Switch::\w+, "(\w+)"', source.read()))
    with open(catalogue_header, encoding="utf-8") as header:
        text = header.read()
    others = set()
    for constant in ("kUserPassword", "kTimeDelay", "kRelock"):
        match = re.search(constant + r' = "(\w+)"', text)
        if match:
            others.add(match.group(1))
    return switches, others


def check(admx_path, adml_path, schema_path, catalogue_source, catalogue_header):
    problems = schema_errors([admx_path, adml_path], schema_path)
    if problems:
        return problems  # nothing below is worth reading in an invalid file
    admx = ET.parse(admx_path).getroot()
    adml = ET.parse(adml_path).getroot()

    strings = {s.get("id") for s in adml.iterfind(".//pd:stringTable/pd:string", NS)}
    presentations = {p.get("id"): p for p in adml.iterfind(".//pd:presentationTable/pd:presentation", NS)}
    for kind, ident, where in references(admx):
        table = strings if kind == "string" else presentations
        if ident not in table:
            problems.append(f"{where}: $({kind}.{ident}) is not in {os.path.basename(adml_path)}")

    categories = {c.get("name") for c in admx.iterfind(".//pd:categories/pd:category", NS)}
    supported = {d.get("name") for d in admx.iterfind(".//pd:supportedOn/pd:definitions/pd:definition", NS)}
    for parent in admx.iterfind(".//pd:parentCategory", NS):
        if parent.get("ref") not in categories:
            problems.append(f"parentCategory {parent.get('ref')} is no category of the template")
    for policy in admx.iterfind(".//pd:policies/pd:policy", NS):
        name = policy.get("name")
        ref = policy.find("pd:supportedOn", NS).get("ref")
        if ref not in supported:
            problems.append(f"policy {name}: supportedOn {ref} is not defined")
        elements = policy.find("pd:elements", NS)
        element_ids = [] if elements is None else [e.get("id") for e in elements]
        shown = policy.get("presentation")
        controls = []
        if shown:
            match = REFERENCE.match(shown)
            presentation = presentations.get(match.group(2)) if match else None
            controls = [] if presentation is None else [c.get("refId") for c in presentation if c.get("refId")]
        for ref_id in controls:
            if ref_id not in element_ids:
                problems.append(f"policy {name}: presentation control {ref_id} has no element")
        for ident in element_ids:
            if ident not in controls:
                problems.append(f"policy {name}: element {ident} is shown by no presentation control")

    for element in admx.iter():
        key = element.get("key")
        if key is not None and not under_policy_root(key):
            where = element.get("name") or element.get("id")
            problems.append(f"{where}: key {key} is not under {POLICY_ROOT}")

    switches, others = product_value_names(catalogue_source, catalogue_header)
    if len(switches) != 10 or len(others) != 3:
        problems.append("the settings catalogue's names could not be read")
    set_names = set()
    for element in admx.iter():
        value_name = element.get("valueName")
        if value_name is None:
            continue
        key = element.get("key") or next(
            (p.get("key") for p in admx.iterfind(".//pd:policy", NS) if element in p.iter()), "")
        if key.lower() == SETTINGS_KEY.lower():
            set_names.add(value_name)
            if value_name not in switches | others:
                problems.append(f"value {value_name} is read by no program")
    for missing in sorted((switches | others) - set_names):
        problems.append(f"setting {missing} has no policy")
    return problems


def main(argv):
    admx = argv[1] if len(argv) > 1 else os.path.join(ROOT, "policy", "PelmoraPro.admx")
    adml = argv[2] if len(argv) > 2 else os.path.join(ROOT, "policy", "en-US", "PelmoraPro.adml")
    schema = argv[3] if len(argv) > 3 else os.path.join(ROOT, "policy", "schema", "PolicyDefinitionFiles.xsd")
    catalogue = argv[4] if len(argv) > 4 else os.path.join(ROOT, "src", "store", "SettingsCatalogue.cpp")
    header = os.path.splitext(catalogue)[0] + ".h"
    problems = check(admx, adml, schema, catalogue, header)
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print(f"policy template: {os.path.basename(admx)} and {os.path.basename(adml)} are valid, "
          "every reference resolves, every key is under " + POLICY_ROOT)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
