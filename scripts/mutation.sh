#!/usr/bin/env bash
# Mutation sampling: how many small faults put into the code the tests catch.
#
#   scripts/mutation.sh [--base REF | --tree | --paths FILE...] [--count N] [--seed S]
#                       [--build DIR] [--confirm] [--list] [--from K]
#
# Samples N lines (default 60) of the C++ files that changed since REF (default: the merge base
# with main), of the whole tree with --tree, or of the files named with --paths, and makes one mutant of each with one textual
# rule: a comparison flipped (== and !=, < and <=, > and >=), && for || and back, true for
# false, + 1 for - 1, a condition negated, a statement or call removed. Each mutant is built
# incrementally in DIR (default build/, configured with -DTARVO_TESTS=ON) and run against the
# tests of its folder (src/chart against tests/chart, tools/ against tests/tools, src/runtime
# also against tests/tools, whose programs use it; the program's start-up against tests/e2e). A
# mutant that fails to build does not count; the tests must pass without a mutant before any is
# made. With --confirm, each survivor runs against the whole suite
# too; --list shows the sample and builds nothing; --from K goes on with a stopped run from the
# K-th mutant of the same seed's sample. Prints the score and the survivors, for a reader to tell
# a fault that the tests miss from a change that makes no difference (an equivalent mutant).
#
# Slow (a build and a test run per mutant): not part of CI; run it before an issue is resolved.
# The source files are restored after each mutant, and on any exit; the build is left as it was.
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 - "$@" <<'PYTHON'
import argparse, os, random, re, signal, subprocess, sys, time

# A stop by SIGTERM unwinds too, so that the mutated file is restored.
signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))

parser = argparse.ArgumentParser(prog="scripts/mutation.sh")
parser.add_argument("--base", default=None)
parser.add_argument("--tree", action="store_true")
parser.add_argument("--paths", nargs="+", default=None, help="sample these files only")
parser.add_argument("--count", type=int, default=60)
parser.add_argument("--seed", type=int, default=None)
parser.add_argument("--build", default="build")
parser.add_argument("--confirm", action="store_true")
parser.add_argument("--list", action="store_true", help="show the sample, build nothing")
parser.add_argument("--from", dest="start", type=int, default=1,
                    help="begin at this mutant of the sample, to go on with a run stopped part way")
options = parser.parse_args()
seed = options.seed if options.seed is not None else int(time.time())


def git(*args):
    return subprocess.run(["git", *args], capture_output=True, text=True, check=True).stdout


def source_files():
    if options.paths:
        names = options.paths
    elif options.tree:
        names = git("ls-files", "src", "tools", "tests/layoutcheck").split()
    else:
        base = options.base or git("merge-base", "HEAD", "main").strip()
        names = git("diff", "--name-only", base, "--", "src", "tools", "tests/layoutcheck").split()
    return [n for n in names if n.endswith(".cpp") and os.path.exists(n)]


def masked(line):
    """The line with string and character literals blanked, so that no rule acts inside them."""
    out, quote, escaped = [], None, False
    for c in line:
        if quote:
            out.append("_")
            if escaped:
                escaped = False
            elif c == "\\":
                escaped = True
            elif c == quote:
                quote = None
        else:
            out.append(c)
            if c in "\"'":
                quote = c
    return "".join(out)


SWAPS = [(" == ", " != "), (" != ", " == "), (" <= ", " < "), (" < ", " <= "),
         (" >= ", " > "), (" > ", " >= "), (" && ", " || "), (" || ", " && "),
         ("true", "false"), ("false", "true"), (" + 1", " - 1"), (" - 1", " + 1")]
STATEMENT = re.compile(r"^\s*([A-Za-z_][\w:.\->\[\]]*\s*(\(.*\)|[-+*/|&]?=.*|\+\+|--)|\+\+\w+|--\w+|break|continue);\s*$")


def closing_paren(text, start):
    depth = 0
    for i in range(start, len(text)):
        depth += {"(": 1, ")": -1}.get(text[i], 0)
        if depth == 0:
            return i
    return -1


def mutants_of(path):
    """Every mutant of the file: (path, line number, description, new line)."""
    found = []
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        lines = f.read().split("\n")
    for number, line in enumerate(lines, 1):
        code = masked(line)
        if "//" in code:
            code = code[:code.index("//")]
        stripped = code.strip()
        if not stripped or stripped.startswith(("#", "*", "/*", "static_assert")):
            continue
        for old, new in SWAPS:
            pattern = r"\b" + old + r"\b" if old[0].isalpha() else re.escape(old)
            for m in re.finditer(pattern, code):
                mutated = line[:m.start()] + new + line[m.end():]
                found.append((path, number, f"'{old.strip()}' -> '{new.strip()}'", mutated))
        m = re.search(r"\b(if|while) \(", code)
        if m:
            open_at = m.end() - 1
            close_at = closing_paren(code, open_at)
            if close_at > 0:
                mutated = line[:open_at + 1] + "!(" + line[open_at + 1:close_at] + ")" + line[close_at:]
                found.append((path, number, "condition negated", mutated))
        if STATEMENT.match(code) and not stripped.startswith(("return", "const ", "auto ")):
            indent = line[:len(line) - len(line.lstrip())]
            found.append((path, number, "statement removed", indent + ";"))
    return found


def test_folders(path):
    parts = path.split("/")
    if parts[0] == "tools":
        return ["tests/tools"]
    folder = "tests/" + "/".join(parts[1:-1])
    if parts[1] in ("app",) or path.startswith("src/platform/application"):
        return ["tests/e2e", "tests/window"]
    # Folders whose code is tested through its users.
    users = {"keywords": ["tests/properties", "tests/tools"],
             "runtime": ["tests/runtime", "tests/tools"]}
    if path.startswith("tests/layoutcheck/"):
        return ["tests/chart"]
    if parts[1] in users:
        return users[parts[1]]
    # A library in a sub-folder (src/chart/layout) is tested in its parent's folder (tests/chart).
    while folder != "tests" and not os.path.isdir(folder):
        folder = os.path.dirname(folder)
    return [folder] if folder != "tests" else ["tests/e2e"]


def run(command, timeout):
    """The command's exit status (124 for a timeout); whatever it started is ended with it, so that
    a program that a mutant made hang does not spin on through the mutants after it."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return 124
    finally:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()


def build(targets):
    return run(["cmake", "--build", options.build, "--target", *targets], 3600) == 0


def tests_pass(folders):
    for folder in folders:
        # The first failure kills the mutant: the rest of the tests would tell nothing more.
        if run(["ctest", "--test-dir", os.path.join(options.build, folder), "-j2",
                "--timeout", "300", "--stop-on-failure"], 3600) != 0:
            return False
    return True




class Mutated:
    """The file with one line changed while it lives; restored whatever happens."""

    def __init__(self, path, number, line):
        self.path, self.number, self.line = path, number, line

    def __enter__(self):
        with open(self.path, "rb") as f:
            self.original = f.read()
        lines = self.original.decode("utf-8", "surrogateescape").split("\n")
        lines[self.number - 1] = self.line
        with open(self.path, "wb") as f:
            f.write("\n".join(lines).encode("utf-8", "surrogateescape"))

    def __exit__(self, *exception):
        with open(self.path, "wb") as f:
            f.write(self.original)


files = source_files()
candidates = [m for path in files for m in mutants_of(path)]
if not candidates:
    sys.exit("mutation.sh: no C++ lines to mutate in " + (" ".join(files) or "the change"))
sample = random.Random(seed).sample(candidates, min(options.count, len(candidates)))
print(f"mutation.sh: {len(sample)} mutants of {len(candidates)} in {len(files)} files, "
      f"seed {seed}", flush=True)
if options.list:
    for path, number, rule, line in sample:
        print(f"  {path}:{number} {rule}: {line.strip()}")
    sys.exit(0)

# Without a mutant every test must pass, or each failure would count as a fault caught.
baseline = [["."]] if options.confirm else sorted({tuple(test_folders(m[0])) for m in sample})
for folders in baseline:
    if not build(["all"]) or not tests_pass(folders):
        sys.exit(f"mutation.sh: {' '.join(folders)} fails to build or pass without a mutant; "
                 "fix that first")


def verdict_of(folders):
    """killed, SURVIVED, or not built: a mutant that does not build tells nothing about tests."""
    if not build([f + "/all" for f in folders]):
        return "not built"
    if not tests_pass(folders):
        return "killed"
    if not options.confirm:
        return "SURVIVED"
    if not build(["all"]):
        return "not built"
    return "SURVIVED" if tests_pass(["."]) else "killed"


killed, survivors, unbuilt = 0, [], 0
for index, (path, number, rule, line) in enumerate(sample, 1):
    if index < options.start:
        continue
    folders = test_folders(path)
    started = time.time()
    with Mutated(path, number, line):
        verdict = verdict_of(folders)
    if verdict == "not built":
        unbuilt += 1
    elif verdict == "SURVIVED":
        survivors.append((path, number, rule, line.strip()))
    else:
        killed += 1
    print(f"[{index}/{len(sample)}] {verdict:9} {path}:{number} {rule} "
          f"({time.time() - started:.0f} s)", flush=True)

build(["all"])  # the build as the sources are again
counted = killed + len(survivors)
score = 100 * killed / counted if counted else 0
print(f"\nscore: {killed} of {counted} mutants killed ({score:.0f} %), {unbuilt} did not build, "
      f"seed {seed}")
for path, number, rule, line in survivors:
    print(f"  survived: {path}:{number} {rule}: {line}")
PYTHON
