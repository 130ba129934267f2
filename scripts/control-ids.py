#!/usr/bin/env python3
"""Keeps every form's control ids in step with its table, and binds controls
and handlers through them. Safe to run again, after a merge or after a form
gained controls:

 1. each src/<layer>/<form>Layout.h gets (or has rewritten) its
    `struct <form>Ids`, one `platform::ControlId` a row of the form's control
    table, found by the consteval `platform::IdOf`;
 2. each form class that names controls gets `using Ids = <form>Ids;` and
    includes its layout;
 3. `{*this, "name"}`, `On("name", ...)` and `OnTimer("name", ...)` become
    `{*this, Ids::name}`, `On(Ids::name, ...)` and `OnTimer(Ids::name, ...)`.

Run from anywhere; then clang-format the files it names.
"""
import glob
import os
import re

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
IDS_COMMENT = ("// Each control of the table by its own name, checked against the table when\n"
               "// compiled: a name the table lacks does not build.\n")


def rewrite(path, text):
    with open(path) as f:
        old = f.read()
    if old != text:
        with open(path, "w") as f:
            f.write(text)
        print(os.path.relpath(path, ROOT))


def layouts():
    found = {}
    for path in sorted(glob.glob(os.path.join(ROOT, "src/*/*Layout.h"))):
        with open(path) as f:
            text = f.read()
        table = re.search(r"ControlSpec (k(\w+)Controls)\[\] = \{(.*?)\n\};", text, re.S)
        if not table:
            continue
        name, form, body = table.group(1), table.group(2), table.group(3)
        controls = re.findall(r'\{\s*(?:platform::)?ControlKind::\w+,\s*"(\w+)"', body)
        struct = form + "Ids"
        block = IDS_COMMENT + "struct " + struct + " {\n" + "".join(
            f'  static constexpr platform::ControlId {c} = platform::IdOf({name}, "{c}");\n'
            for c in controls) + "};\n"
        existing = re.search(re.escape(IDS_COMMENT) + r"struct " + struct + r" \{.*?\n\};\n",
                             text, re.S)
        if existing:
            text = text[:existing.start()] + block + text[existing.end():]
        else:
            end = table.end()
            if text[end:].startswith("\n// clang-format on\n"):
                end += len("\n// clang-format on\n")
            text = text[:end] + "\n" + block + "\n" + text[end:].lstrip("\n")
        rewrite(path, text)
        found[form] = (os.path.relpath(path, os.path.join(ROOT, "src")), struct)
    return found


def bind(found):
    sources = glob.glob(os.path.join(ROOT, "src/*/*.h")) + glob.glob(os.path.join(ROOT, "src/*/*.cpp"))
    for path in sources:
        if "/platform/" in path:
            continue
        with open(path) as f:
            text = f.read()
        for form, (layout, struct) in found.items():
            head = re.search(r"\nclass " + form + r" : public [^{]*\{\n public:\n", text)
            if not head or "using Ids = " + struct in text:
                continue
            cut = head.end() - len(" public:\n")
            text = text[:cut] + f" protected:\n  using Ids = {struct};\n\n public:\n" + text[cut:]
            include = f'#include "{layout}"\n'
            if include not in text:
                last = list(re.finditer(r'#include "[^"]+"\n', text))[-1]
                text = text[:last.end()] + include + text[last.end():]
        text = re.sub(r'\{\*this, "(\w+)"\}', r"{*this, Ids::\1}", text)
        text = re.sub(r'\bOn\("(\w+)",', r"On(Ids::\1,", text)
        text = re.sub(r'\bOnTimer\("(\w+)",', r"OnTimer(Ids::\1,", text)
        rewrite(path, text)


if __name__ == "__main__":
    bind(layouts())
