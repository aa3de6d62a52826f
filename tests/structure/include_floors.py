#!/usr/bin/python3
"""Every #include runs down the floors.

    include_floors.py FLOORS.tsv SOURCE-ROOT

FLOORS.tsv holds a line per library or program: its name, floor, folder, files and the libraries
it links (lists by ";"). A file of a library may include the headers of its own library and of
the libraries it links, directly or through others; a header that calls itself "Internal to the
... library" only from its own library and from that library's tests (tests/ and the library's
folder under src/; the tests of src/chart/layout stand under tests/chart).
Prints each include that runs up or sideways, and fails if there is one.
"""
import os
import re
import sys

floors_file, root = sys.argv[1:3]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
INTERNAL = re.compile(r"Internal to the [\w ]+ library")
ROOTS = ("src", "tools", "tests")

# Includes that are known to run against the rule, each with why it stays for now.
KNOWN = {
    # The layout check is tested beside the layout it checks.
    ("tests/chart", "layoutcheck/guaranteechecks.h"),
}

libraries = {}  # name: (floor, folder, files, links)
for line in open(floors_file, encoding="utf-8"):
    name, floor, folder, files, links = line.rstrip("\n").split("\t")
    paths = {os.path.normpath(os.path.join(folder, f)) for f in files.split(";") if f}
    libraries[name] = (int(floor), folder, paths, [l for l in links.split(";") if l])
owner = {path: name for name, (_, _, paths, _) in libraries.items() for path in paths}


def reachable(name):
    """The library and every library it links, directly or through others."""
    seen, stack = set(), [name]
    while stack:
        current = stack.pop()
        if current in seen or current not in libraries:
            continue
        seen.add(current)
        stack.extend(libraries[current][3])
    return seen


def resolve(include, including_file):
    for base in [os.path.dirname(including_file)] + [os.path.join(root, r) for r in ROOTS]:
        candidate = os.path.normpath(os.path.join(base, include))
        if os.path.isfile(candidate):
            return candidate
    return None


def internal(header):
    with open(header, encoding="utf-8", errors="replace") as f:
        opening = re.sub(r"\s*\n\s*//\s*", " ", f.read(2000))  # comment lines joined
    return bool(INTERNAL.search(opening))


def tested_beside(folder, library_folder):
    """Whether `folder` holds the library's tests: tests/ mirrors src/'s top folders, so the tests
    of src/chart/layout stand under tests/chart."""
    top = os.path.relpath(library_folder, os.path.join(root, "src")).split(os.sep)[0]
    mirror = os.path.join("tests", top)
    return folder == mirror or folder.startswith(mirror + os.sep)


def folder_of(path):
    return os.path.relpath(os.path.dirname(path), root)


faults = []
walked = (step for top in ROOTS for step in os.walk(os.path.join(root, top)))
for dirpath, _, names in walked:
    for file_name in names:
        if not file_name.endswith((".cpp", ".h")):
            continue
        path = os.path.join(dirpath, file_name)
        mine = owner.get(os.path.normpath(path))
        text = open(path, encoding="utf-8", errors="replace").read()
        for include in INCLUDE.findall(text):
            header = resolve(include, path)
            theirs = owner.get(header) if header else None
            if theirs is None or theirs == mine:
                continue
            where = f"{os.path.relpath(path, root)}: \"{include}\" of {theirs}"
            if (folder_of(path), include) in KNOWN:
                continue
            if mine is not None and theirs not in reachable(mine):
                faults.append(f"{where}, floor {libraries[theirs][0]}, which {mine} (floor "
                              f"{libraries[mine][0]}) does not link: it runs up or sideways")
            elif internal(header):
                if not tested_beside(folder_of(path), libraries[theirs][1]):
                    faults.append(f"{where}: internal to that library")

print("\n".join(faults) if faults else "every include runs down the floors")
sys.exit(1 if faults else 0)
