#!/usr/bin/env python3
"""The template check passes the shipped pair and catches what would break it
in the Group Policy editor or on the PCs: a missing text, a key outside the
policy key, a name no program reads, a file the schema refuses."""
import os
import shutil
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import check_policy_template  # noqa: E402  (found through the path above)

ADMX = os.path.join(ROOT, "policy", "PelmoraPro.admx")
ADML = os.path.join(ROOT, "policy", "en-US", "PelmoraPro.adml")
SCHEMA = os.path.join(ROOT, "policy", "schema", "PolicyDefinitionFiles.xsd")
CATALOGUE = os.path.join(ROOT, "src", "store", "SettingsCatalogue.cpp")
HEADER = os.path.join(ROOT, "src", "store", "SettingsCatalogue.h")


class PolicyTemplateCheck(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.admx = os.path.join(self.folder, "PelmoraPro.admx")
        self.adml = os.path.join(self.folder, "PelmoraPro.adml")
        shutil.copy(ADMX, self.admx)
        shutil.copy(ADML, self.adml)

    def tearDown(self):
        shutil.rmtree(self.folder)

    def edit(self, path, old, new):
        with open(path, encoding="utf-8") as f:
            text = f.read()
        self.assertIn(old, text)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text.replace(old, new, 1))

    def problems(self):
        return check_policy_template.check(self.admx, self.adml, SCHEMA, CATALOGUE, HEADER)

    def test_the_shipped_pair_passes(self):
        self.assertEqual(self.problems(), [])

    def test_each_fault_is_reported(self):
        cases = [
            ("a text the ADML lacks", "adml", '<string id="BlankScreen_Help">',
             '<string id="SomethingElse">', "BlankScreen_Help"),
            ("a presentation the ADML lacks", "adml", '<presentation id="Relock">',
             '<presentation id="Relocked">', "presentation.Relock"),
            ("a key outside the policy key", "admx",
             'key="SOFTWARE\\Policies\\Pelmora Pro\\Settings" valueName="LockZip"',
             'key="SOFTWARE\\Pelmora Pro\\Settings" valueName="LockZip"', "not under"),
            ("a value name no program reads", "admx", 'valueName="HideMenu"',
             'valueName="HideTheMenu"', "HideTheMenu"),
            ("a control bound to no element", "adml", 'refId="RelockMinutes"',
             'refId="RelockMinute"', "RelockMinute"),
            ("an element out of the schema's order", "admx",
             '<parentCategory ref="PelmoraPro_Locking"/>\n      <supportedOn ref="SUPPORTED_PelmoraPro5"/>',
             '<supportedOn ref="SUPPORTED_PelmoraPro5"/>\n      <parentCategory ref="PelmoraPro_Locking"/>',
             "supportedOn"),
            ("a file that is not XML", "adml", "</resources>", "</resource>", "resource"),
        ]
        for what, which, old, new, mentioned in cases:
            with self.subTest(what):
                self.tearDown()
                self.setUp()
                self.edit(getattr(self, which), old, new)
                problems = self.problems()
                self.assertTrue(any(mentioned in p for p in problems), (what, problems))


if __name__ == "__main__":
    unittest.main()
