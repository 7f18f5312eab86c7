#!/usr/bin/env python3
"""lang/compile_po.py on catalogues a translator could get wrong: what falls
back to English, what stops the build, and the escapes of both outputs."""

import os
import sys
import tempfile
import types
import unittest

# The converter under test is named on the command line, not installed.
COMPILER_PATH = sys.argv.pop(1)
compile_po = types.ModuleType("compile_po")
compile_po.__file__ = COMPILER_PATH
sys.modules["compile_po"] = compile_po
with open(COMPILER_PATH, encoding="utf-8") as source:
    exec(compile(source.read(), COMPILER_PATH, "exec"), compile_po.__dict__)

HEADER = 'msgid ""\nmsgstr "Language: de\\nContent-Type: text/plain; charset=UTF-8\\n"\n\n'
TEMPLATE = HEADER + "".join(
    f'msgctxt "{n}"\nmsgid "{e}"\nmsgstr ""\n\n'
    for n, e in ((1000, "Quick scan"), (1001, "Full scan"), (1002, "Tab\\there")))
TEMPLATE += '#, c-format\nmsgctxt "41111"\nmsgid "Copy of %s"\nmsgstr ""\n'


class CompilePo(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.template = self.write("t.pot", TEMPLATE)

    def tearDown(self):
        self.dir.cleanup()

    def write(self, name, text):
        path = os.path.join(self.dir.name, name)
        with open(path, "w", encoding="utf-8") as handle:
            handle.write(text)
        return path

    def compile(self, mode, po_text, template=True):
        po = self.write("x.po", HEADER + po_text)
        out = os.path.join(self.dir.name, "out")
        args = [mode, po, out] + (["--template", self.template] if template else [])
        code = compile_po.main(args)
        if code != 0:
            return None
        with open(out, encoding="utf-8") as handle:
            return [line for line in handle.read().split("\n") if line and line[0] not in "#/"]

    def test_missing_fuzzy_and_stale_translations_fall_back_to_english(self):
        lines = self.compile("lang", (
            'msgctxt "1000"\nmsgid "Quick scan"\nmsgstr "Schnell"\n\n'
            '#, fuzzy\nmsgctxt "1001"\nmsgid "Full scan"\nmsgstr "Voll"\n\n'
            'msgctxt "41111"\nmsgid "Copy of the %s"\nmsgstr "Kopie von %s"\n'))
        self.assertEqual(lines, ["1000=Schnell", "1001=Full scan", "1002=Tab\\there",
                                 "41111=Copy of %s"])

    def test_escapes_reach_the_table_and_the_resource_script(self):
        po = 'msgctxt "1000"\nmsgid "Quick scan"\nmsgstr "a\\\\b\\nc \\"d\\" \u00fc"\n'
        self.assertEqual(self.compile("lang", po)[0], '1000=a\\\\b\\nc "d" \u00fc')
        rc = self.compile("rc", po)
        self.assertIn('  1000, L"a\\\\b\\nc ""d"" \\x00fc"', rc)
        self.assertIn("LANGUAGE 0x07, 0x01", rc)

    def test_what_the_tables_cannot_carry_stops_the_build(self):
        bad = [
            'msgctxt "1000"\nmsgid "Quick scan"\nmsgstr "a\\rb"\n',
            'msgctxt "65536"\nmsgid "x"\nmsgstr "y"\n',
            'msgctxt "label"\nmsgid "x"\nmsgstr "y"\n',
            'msgid "no context"\nmsgstr "y"\n',
            'msgctxt "1000"\nmsgid "a"\nmsgstr "b"\n\nmsgctxt "1000"\nmsgid "a"\nmsgstr "c"\n',
            '#, c-format\nmsgctxt "41111"\nmsgid "Copy of %s"\nmsgstr "Kopie von %d"\n',
            '#, c-format\nmsgctxt "41111"\nmsgid "Copy of %s"\nmsgstr "Kopie"\n',
            'msgctxt "1000"\nmsgid "a"\nmsgstr "bad \\q escape"\n',
        ]
        for text in bad:
            with self.subTest(text=text):
                self.assertIsNone(self.compile("lang", text, template=False))

    def test_bytes_embed_the_file_exactly(self):
        path = self.write("in", "1000=\u00e9\n")
        out = os.path.join(self.dir.name, "inc")
        self.assertEqual(compile_po.main(["bytes", path, out]), 0)
        with open(out, encoding="utf-8") as handle:
            values = [int(v, 16) for v in handle.read().replace("\n", "").split(",") if v]
        self.assertEqual(bytes(values), "1000=\u00e9\n".encode("utf-8"))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=1)
