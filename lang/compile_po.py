#!/usr/bin/env python3
"""Compiles the gettext catalogues in lang/ into the tables the library reads.

The .po files are what translators edit: msgctxt is the string's number,
msgid its English text, msgstr the translation. The build turns them into

  lang   the runtime table of a language: UTF-8 lines "ID=TEXT" where the
         only escapes are \\n, \\t and \\\\ (the format the library parses);
  rc     a Windows resource script with one STRINGTABLE, for the resource
         DLL of a language;
  bytes  the bytes of a file as a C initialiser list, for embedding the
         English table in the library.

A translation that is missing, fuzzy, or made for an English text the
template no longer holds falls back to the English text, as gettext does at
run time; the numbers from 1000 upward must form an unbroken run, so a gap
would cut off every label after it. Anything the tables cannot carry (a
number outside 0..65535, a carriage return or other control character, a
context used twice, a c-format string whose conversions differ from the
English) stops the build with the file and line.
"""

import argparse
import re
import sys

MAX_STRING_ID = 0xFFFF
PO_ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"', "a": "\a", "b": "\b",
              "f": "\f", "r": "\r", "v": "\v"}
# Windows language and sublanguage numbers for the resource scripts.
RC_LANGUAGES = {"en": (0x09, 0x01), "de": (0x07, 0x01), "fr": (0x0C, 0x01),
                "es": (0x0A, 0x03), "it": (0x10, 0x01), "nl": (0x13, 0x01),
                "pt": (0x16, 0x02), "pt_BR": (0x16, 0x01), "pl": (0x15, 0x01),
                "cs": (0x05, 0x01), "ja": (0x11, 0x01), "ru": (0x19, 0x01)}


class PoError(Exception):
    pass


class Entry:
    def __init__(self, line):
        self.line = line
        self.comments = []  # extracted comments ("#."), shown to translators
        self.flags = set()
        self.msgctxt = None
        self.msgid = None
        self.msgstr = None


def unquote(text, where):
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise PoError(f"{where}: expected a quoted string")
    out = []
    body = text[1:-1]
    i = 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            if i + 1 >= len(body) or body[i + 1] not in PO_ESCAPES:
                raise PoError(f"{where}: unknown escape in {text}")
            out.append(PO_ESCAPES[body[i + 1]])
            i += 2
            continue
        if c == '"':
            raise PoError(f"{where}: unescaped quote in {text}")
        out.append(c)
        i += 1
    return "".join(out)


def parse_po(path):
    """The entries of a .po file, header included (the one with msgid "")."""
    entries = []
    entry = None
    field = None
    with open(path, encoding="utf-8") as handle:
        lines = handle.read().split("\n")
    for number, raw in enumerate(lines, start=1):
        where = f"{path}:{number}"
        line = raw.strip()
        if entry is not None and entry.msgstr is not None and (
                not line or line.startswith("#") or line.startswith("msgctxt")
                or line.startswith("msgid ")):
            entries.append(entry)
            entry = None
        if not line or line.startswith("#~"):
            continue
        if entry is None:
            entry = Entry(number)
            field = None
        if line.startswith("#."):
            entry.comments.append(line[2:].strip())
        elif line.startswith("#,"):
            entry.flags.update(flag.strip() for flag in line[2:].split(","))
        elif line.startswith("#"):
            continue
        else:
            keyword, _, rest = line.partition(" ")
            if keyword in ("msgctxt", "msgid", "msgstr"):
                if getattr(entry, keyword) is not None:
                    raise PoError(f"{where}: second {keyword} in one entry")
                setattr(entry, keyword, unquote(rest.strip(), where))
                field = keyword
            elif line.startswith('"') and field is not None:
                setattr(entry, field, getattr(entry, field) + unquote(line, where))
            else:
                raise PoError(f"{where}: cannot read '{raw}'")
    if entry is not None:
        if entry.msgstr is None:
            raise PoError(f"{path}:{entry.line}: entry without msgstr")
        entries.append(entry)
    return entries


def header_field(entries, name):
    for entry in entries:
        if entry.msgid == "" and entry.msgctxt is None:
            for line in entry.msgstr.split("\n"):
                key, _, value = line.partition(":")
                if key.strip() == name:
                    return value.strip()
    return ""


def conversions(text):
    """The printf conversions of a text, "%%" left out."""
    return [m.group(0) for m in re.finditer(r"%[-+ #0-9.*lhzjtL]*[a-zA-Z%]", text)
            if m.group(0) != "%%"]


def strings_of(path):
    """{number: (english, translation or None, entry)} from one catalogue."""
    table = {}
    for entry in parse_po(path):
        if entry.msgid is None:
            raise PoError(f"{path}:{entry.line}: entry without msgid")
        if entry.msgid == "" and entry.msgctxt is None:
            continue  # the header
        where = f"{path}:{entry.line}"
        if entry.msgctxt is None or not re.fullmatch(r"[0-9]+", entry.msgctxt):
            raise PoError(f"{where}: msgctxt must be the string's decimal number")
        number = int(entry.msgctxt)
        if number > MAX_STRING_ID:
            raise PoError(f"{where}: string number {number} is above {MAX_STRING_ID}")
        if number in table:
            raise PoError(f"{where}: string {number} is defined twice")
        for text in (entry.msgid, entry.msgstr):
            bad = [c for c in text if ord(c) < 0x20 and c not in "\n\t"]
            if bad:
                raise PoError(f"{where}: string {number} holds control character "
                              f"{ord(bad[0]):#04x}, which the tables cannot carry")
        translation = entry.msgstr if entry.msgstr and "fuzzy" not in entry.flags else None
        if translation is not None and "c-format" in entry.flags and \
                conversions(translation) != conversions(entry.msgid):
            raise PoError(f"{where}: string {number}: the conversions "
                          f"{conversions(translation)} differ from the English "
                          f"{conversions(entry.msgid)}")
        table[number] = (entry.msgid, translation, entry)
    return table


def resolve(po_path, template_path):
    """[(number, text, comments)] in number order: translations where usable,
    the English text otherwise."""
    strings = strings_of(po_path)
    template = strings_of(template_path) if template_path else None
    if template is None:
        return [(n, t or e, entry.comments) for n, (e, t, entry) in sorted(strings.items())]
    rows = []
    for number, (english, _, entry) in sorted(template.items()):
        text = english
        if number in strings:
            their_english, translation, _ = strings[number]
            if translation is not None and their_english == english:
                text = translation
            elif translation is not None:
                print(f"{po_path}: string {number} was translated from an older English "
                      f"text; the English is used until it is updated", file=sys.stderr)
        rows.append((number, text, entry.comments))
    for number in sorted(set(strings) - set(template)):
        print(f"{po_path}: string {number} is not in the template and is left out",
              file=sys.stderr)
    return rows


def lang_escape(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t")


def write_lang(rows, source, out):
    out.write(f"# Generated from {source} at build time: edit the .po file, not this one.\n"
              "# One string a line: ID=TEXT; \\n, \\t and \\\\ are the only escapes.\n")
    for number, text, comments in rows:
        for comment in comments:
            out.write(f"# {comment}\n")
        out.write(f"{number}={lang_escape(text)}\n")


def rc_escape(text):
    """Plain ASCII for every resource compiler: everything else as UTF-16
    units in four-digit hexadecimal escapes, which no following character
    can extend."""
    out = []
    for c in text:
        if c == "\\":
            out.append("\\\\")
        elif c == '"':
            out.append('""')
        elif c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        elif " " <= c <= "~":
            out.append(c)
        else:
            units = c.encode("utf-16-le")
            for i in range(0, len(units), 2):
                out.append(f"\\x{int.from_bytes(units[i:i + 2], 'little'):04x}")
    return "".join(out)


def write_rc(rows, source, language, out):
    primary, sub = RC_LANGUAGES.get(language, (0, 0))
    out.write(f"// Generated from {source} at build time: edit the .po file, not this one.\n"
              f"LANGUAGE {primary:#04x}, {sub:#04x}\n"
              "STRINGTABLE\nBEGIN\n")
    for number, text, _ in rows:
        out.write(f'  {number}, L"{rc_escape(text)}"\n')
    out.write("END\n")


def write_bytes(data, out):
    for start in range(0, len(data), 16):
        out.write(",".join(f"0x{b:02x}" for b in data[start:start + 16]) + ",\n")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("mode", choices=("lang", "rc", "bytes"))
    parser.add_argument("input", help=".po/.pot file (lang, rc) or any file (bytes)")
    parser.add_argument("output")
    parser.add_argument("--template", help="the .pot the translation is checked against")
    args = parser.parse_args(argv)
    try:
        if args.mode == "bytes":
            with open(args.input, "rb") as handle:
                data = handle.read()
            text = []
            write_bytes(data, _Collector(text))
        else:
            rows = resolve(args.input, args.template)
            text = []
            if args.mode == "lang":
                write_lang(rows, _base_name(args.input), _Collector(text))
            else:
                language = header_field(parse_po(args.input), "Language")
                write_rc(rows, _base_name(args.input), language, _Collector(text))
    except (PoError, OSError, UnicodeDecodeError) as error:
        print(f"compile_po: {error}", file=sys.stderr)
        return 1
    with open(args.output, "w", encoding="utf-8", newline="\n") as handle:
        handle.write("".join(text))
    return 0


class _Collector:
    def __init__(self, parts):
        self.parts = parts

    def write(self, text):
        self.parts.append(text)


def _base_name(path):
    return path.replace("\\", "/").rsplit("/", 1)[-1]


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
