#!/usr/bin/env python3
"""Writes the keyword and message reference into the reference pages and the manual page
tarvochart(1).

Both come from docs/reference/keywords.txt and docs/reference/messages.txt (their heads say how
they are written) and stand between marker lines in each document:

    docs/tables.md (keywords),     <!-- reference:NAME -->  ...  <!-- /reference:NAME -->
    docs/messages.md (messages)
    src/app/tarvochart.1 (both)    .\\" reference:NAME      ...  .\\" /reference:NAME

Usage: scripts/reference.py [--check]
With --check nothing is written; the exit status is 1 when a document differs from what this
would write, and the message names it.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCES = ROOT / "docs" / "reference"
PAGES = {
    "keywords": ROOT / "docs" / "tables.md",
    "messages": ROOT / "docs" / "messages.md",
}
MANUAL = ROOT / "src" / "app" / "tarvochart.1"


def read_entries(path, fields):
    """The blocks of a reference file as dictionaries, each with exactly the given fields."""
    entries = []
    for number, block in enumerate(_blocks(path), start=1):
        entry = {}
        for line in block:
            if line[0].isspace():
                if not entry:
                    raise SystemExit(f"{path}: entry {number} begins with a continued line")
                entry[name] += " " + line.strip()
                continue
            name, _, text = line.partition(":")
            if name not in fields or name in entry:
                raise SystemExit(f"{path}: entry {number}: unknown or repeated field {name!r}")
            entry[name] = text.strip()
        missing = [field for field in fields if not entry.get(field)]
        if missing:
            raise SystemExit(f"{path}: entry {number} lacks {', '.join(missing)}")
        for name, text in entry.items():
            if text.count("`") % 2:
                raise SystemExit(f"{path}: entry {number}, {name}: a ` is not closed")
        entries.append(entry)
    return entries


def _blocks(path):
    block = []
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("#"):
            continue
        if line.strip():
            block.append(line)
        elif block:
            yield block
            block = []
    if block:
        yield block


def markdown_table(header, rows):
    cell = lambda text: text.replace("|", "\\|")
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(cell(text) for text in row) + " |" for row in rows]
    return lines


def roff(text):
    """Markdown's `code` in bold, everything else as text, escaped for the man page format."""
    parts = text.replace("\\", "\\e").split("`")
    for index in range(1, len(parts), 2):
        parts[index] = "\\fB" + parts[index].replace("-", "\\-") + "\\fR"
    line = "".join(parts)
    return "\\&" + line if line.startswith((".", "'")) else line


def sentence(text, capital=True):
    text = text[0].upper() + text[1:] if capital else text
    return text if text.endswith((".", '."', ".)")) else text + "."


def keyword_sections(keywords):
    header = ["keyword", "value", "effect", "example line (`tarvo-dbfwrite --keywords`)"]
    rows = [[k["keyword"], k["value"], k["effect"], f"`{k['example']}`"] for k in keywords]
    manual = []
    for k in keywords:
        tag = "\\fB" + k["keyword"] + "\\fR"
        if k["value"] != "not read":
            tag += " \\fI" + roff(k["value"]) + "\\fR"
        manual += [".TP", tag, roff(sentence(k["effect"]))]
        if k["example"] != k["keyword"]:
            manual += [".br", "Example: " + roff(f"`{k['example']}`")]
    return markdown_table(header, rows), manual


def message_sections(messages):
    header = ["caption: text", "when", "what to do"]
    rows = [[m["message"], m["when"], m["remedy"]] for m in messages]
    manual = []
    for m in messages:
        manual += [".TP", roff(m["message"]), roff(sentence(m["when"])), ".br",
                   "What to do: " + roff(sentence(m["remedy"], capital=False))]
    return markdown_table(header, rows), manual


def replace_between(text, begin, end, lines, document):
    pattern = re.compile(re.escape(begin) + r"\n.*?" + re.escape(end), re.DOTALL)
    if len(pattern.findall(text)) != 1:
        raise SystemExit(f"{document}: needs one pair of the lines {begin!r} and {end!r}")
    return pattern.sub(lambda _: "\n".join([begin, *lines, end]), text)


def main(arguments):
    if arguments not in ([], ["--check"]):
        raise SystemExit(__doc__)
    keywords = read_entries(SOURCES / "keywords.txt", ["keyword", "value", "effect", "example"])
    messages = read_entries(SOURCES / "messages.txt", ["message", "when", "remedy"])
    sections = {"keywords": keyword_sections(keywords), "messages": message_sections(messages)}

    documents = [(page, ("<!-- reference:{} -->", "<!-- /reference:{} -->"), 0, [name])
                 for name, page in PAGES.items()]
    documents.append((MANUAL, ('.\\" reference:{}', '.\\" /reference:{}'), 1, list(sections)))
    stale = []
    for path, markers, part, names in documents:
        old = path.read_text(encoding="utf-8")
        new = old
        for name in names:
            begin, end = (marker.format(name) for marker in markers)
            new = replace_between(new, begin, end, sections[name][part], path.name)
        if new == old:
            continue
        stale.append(path.relative_to(ROOT))
        if not arguments:
            path.write_text(new, encoding="utf-8")
    if arguments and stale:
        names = " and ".join(str(path) for path in stale)
        print(f"{names}: the keyword or message reference differs from docs/reference/; "
              "run scripts/reference.py to write it again")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
