#!/usr/bin/env python3
"""Checks every link and image of README.md and the pages under docs/ in one folder: a link to a
file must name one that is there, and a link to a heading (page.md#heading, or #heading) must
name a heading of that page, made into an anchor as GitHub does. Addresses with a scheme
(https:, mailto:) are not followed.

Usage: doclinks.py FOLDER     (the source tree, or /usr/share/doc/tarvochart once installed)
Exit status 1 with one line per broken link, 0 when every link holds.
"""
import pathlib
import re
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*$")


def anchor(heading):
    """A heading as GitHub makes it an anchor: lower case, punctuation dropped, blanks as -."""
    text = re.sub(r"[^\w\- ]", "", heading.lower())
    return text.replace(" ", "-")


def anchors(page):
    found, fenced = set(), False
    for line in page.read_text(encoding="utf-8").splitlines():
        if line.startswith("```"):
            fenced = not fenced
        match = None if fenced else HEADING.match(line)
        if match:
            found.add(anchor(match.group(1)))
    return found


def broken_links(page):
    broken = []
    for number, line in enumerate(page.read_text(encoding="utf-8").splitlines(), start=1):
        for target in LINK.findall(line):
            if re.match(r"^[a-z]+:", target):
                continue
            path, _, heading = target.partition("#")
            linked = (page.parent / path).resolve() if path else page
            if not linked.exists():
                broken.append(f"{page}:{number}: {target}: no such file")
            elif heading and linked.suffix == ".md" and heading not in anchors(linked):
                broken.append(f"{page}:{number}: {target}: no such heading")
    return broken


def main(arguments):
    if len(arguments) != 1:
        raise SystemExit(__doc__)
    folder = pathlib.Path(arguments[0])
    pages = [folder / "README.md", *sorted((folder / "docs").glob("*.md"))]
    missing = [str(page) for page in pages if not page.is_file()]
    broken = [f"{name}: missing" for name in missing]
    for page in pages:
        if page.is_file():
            broken += broken_links(page)
    print("\n".join(broken) if broken else f"{len(pages)} pages, every link holds")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
