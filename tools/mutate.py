#!/usr/bin/env python3
# The mutation score of the native tier: small faults seeded one at a time into the
# platform-free library, each built and tested in a scratch copy of the repository.
# Usage: tools/mutate.sh [N] [seed] [--only=REGEX] [--by-test] [--list]   (N 60, seed 1 by default)
# docs/mutation.md tells what it seeds, what it leaves out and how it runs; the mutants known to be
# equivalent, which it leaves out of the sample, are listed in docs/mutation-equivalents.txt.
import collections
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

KEYWORDS = {"if", "for", "while", "switch", "return", "case", "default", "break", "continue", "goto", "throw",
            "do", "else", "using", "typedef", "static_assert", "template", "delete", "new", "sizeof"}
FLIPPED = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ASSIGNMENT = re.compile(r"(=(?!=)|\+=|-=|\*=|/=|%=|&=|\|=|\^=|<<=|>>=)")


# The command's exit status (a time-out counts as a failure); its output only when told to show it.
def run(args, cwd, timeout=None, show=False):
    try:
        done = subprocess.run(args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
    except subprocess.TimeoutExpired:
        return 1
    if show and done.returncode:
        sys.stdout.write(done.stdout.decode(errors="replace"))
    return done.returncode


def portable_sources(root):
    files = []
    for folder in sorted(os.listdir(root)):
        listing = os.path.join(root, folder, "sources.cmake")
        if os.path.isfile(listing):
            for block in re.findall(r"KVMIDI_PORTABLE_SOURCES(.*?)\)", open(listing).read(), re.S):
                files += block.split()
    return sorted(files)


# The text with comments and the insides of string and character literals blanked, newlines kept.
def code_only(text):
    out, i = list(text), 0

    def blank(begin, end):
        for k in range(begin, end):
            out[k] = " " if out[k] != "\n" else "\n"

    while i < len(text):
        if text.startswith("//", i) or text.startswith("/*", i):
            end = text.find("\n", i) if text[i + 1] == "/" else text.find("*/", i + 2) + 2
            end = len(text) if end < i else end
            blank(i, end)
            i = end
        elif text[i] in "\"'":
            end = i + 1
            while end < len(text) and text[end] != text[i]:
                end += 2 if text[end] == "\\" else 1
            blank(i + 1, end)
            i = end + 1
        else:
            i += 1
    return "".join(out).split("\n")


# The last line of the call or assignment that starts at line n and is a statement of its own, or
# None: a declaration, a keyword's statement or a line inside an expression is none.
def simple_statement(code, n):
    line = code[n].strip()
    depth, i = 0, 0
    while i < len(line) and (depth or not (line[i].isspace() or line[i] == "(" or ASSIGNMENT.match(line, i))):
        depth += {"[": 1, "]": -1}.get(line[i], 0)
        i += 1
    head = line[:i]
    if not head or head in KEYWORDS or not re.match(r"(\+\+|--)?[A-Za-z_]", head):
        return None
    rest = line[i:].lstrip()
    if not (rest.startswith("(") or ASSIGNMENT.match(rest) or (rest == ";" and re.search(r"\+\+|--", head))):
        return None
    previous = next((code[k].strip() for k in range(n - 1, -1, -1) if code[k].strip()), ";")
    if not re.search(r"([;{}):]|\belse)$", previous):
        return None
    text, last = line, n
    while sum(text.count(o) - text.count(c) for o, c in ("()", "{}", "[]")) > 0 and last + 1 < len(code):
        last += 1
        text += " " + code[last].strip()
    if not text.endswith(";") or sum(text.count(o) - text.count(c) for o, c in ("()", "{}", "[]")) != 0:
        return None
    if rest.startswith("(") and not text.endswith(");"):
        return None
    return last


# Every mutant of one file: (file, line, column, end line, old text, new text, kind).
# pinned: the names a static_assert ties to the platform's values, which no build accepts changed.
def mutants_of(path, text, pinned=frozenset()):
    code, found, in_enum, table = code_only(text), [], False, None
    for n, line in enumerate(code):
        stripped = line.strip()
        in_enum = (in_enum or re.search(r"\benum\b[^;]*$", line)) and "}" not in line
        opening = re.search(r"(\w+)\s*=\s*\{[^;]*$", line)
        table = table or (opening and opening.group(1))
        named = re.match(r".*?(\w+)\s*=[^=]", line)
        constant = table or (named and named.group(1))
        table = None if "};" in line else table
        if not stripped or stripped.startswith("#") or "static_assert" in line:
            continue
        for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", line):
            found.append((path, n, m.start(), n, m.group(), FLIPPED[m.group()], "comparison"))
        for m in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s)", line):
            found.append((path, n, m.start(), n, m.group(), "||" if m.group() == "&&" else "&&", "logic"))
        for m in re.finditer(r"\b(true|false)\b", line):
            found.append((path, n, m.start(), n, m.group(), "false" if m.group() == "true" else "true", "bool"))
        # An enumerator's value is a name, not a quantity; a template argument is a type.
        for m in re.finditer(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.]|\s*>)", line):
            if in_enum or constant in pinned or re.search(r"\)[\w ]*= 0;$", stripped):
                continue
            hexadecimal = m.group(1)[:2].lower() == "0x"
            value = int(m.group(1), 16 if hexadecimal else 10)
            for changed in (value + 1, value - 1) if value > 0 else (1,):
                new = (f"0x{changed:X}" if hexadecimal else str(changed)) + m.group(2)
                found.append((path, n, m.start(), n, m.group(), new, "literal"))
        last = simple_statement(code, n)
        if last is not None:
            found.append((path, n, len(line) - len(line.lstrip()), last, "statement", "{}", "drop"))
    # Which of the mutants that read alike (the same change in the same text, on one line or on
    # lines that repeat) each one is, and of how many: the key names it, never two at once.
    lines = text.split("\n")
    alike = lambda m: (m[6], m[4], m[5], lines[m[1]].strip())
    total = collections.Counter(alike(m) for m in found)
    seen = collections.Counter()
    numbered = []
    for m in found:
        seen[alike(m)] += 1
        numbered.append(m + ((seen[alike(m)], total[alike(m)]),))
    return numbered


# The file's text with the mutant in place.
def applied(text, mutant):
    _, n, column, last, old, new, kind, _ = mutant
    lines = text.split("\n")
    if kind == "drop":
        lines[n] = lines[n][:column] + new
        for k in range(n + 1, last + 1):
            lines[k] = ""
    else:
        assert lines[n][column:column + len(old)] == old
        lines[n] = lines[n][:column] + new + lines[n][column + len(old):]
    return "\n".join(lines)


# Without its line number, the mutant's key in docs/mutation-equivalents.txt; where the same
# change reads alike more than once in the file (on one line, or on lines that repeat), which one.
def describe(text, mutant, numbered=True):
    path, n, column, last, old, new, kind, (which, of) = mutant
    line = text.split("\n")[n].strip()
    change = f"`{line}` dropped" if kind == "drop" else f"`{old}` -> `{new}` in `{line}`"
    change += f" ({which} of {of} alike)" if of > 1 else ""
    return f"{path}:{n + 1}: {kind}: {change}" if numbered else f"{path}: {kind}: {change}"


# The keys of the mutants recorded as equivalent: the lines that are neither blank nor a # comment.
def known_equivalents(scratch):
    listing = os.path.join(scratch, "docs", "mutation-equivalents.txt")
    lines = read(listing).split("\n") if os.path.isfile(listing) else []
    return {line.strip() for line in lines if line.strip() and not line.startswith("#")}


# Files and their (size, mtime) under a folder.
def manifest(folder):
    found = {}
    for base, _, names in os.walk(folder):
        for name in names:
            full = os.path.join(base, name)
            st = os.lstat(full)
            found[os.path.relpath(full, folder)] = (st.st_size, st.st_mtime_ns)
    return found


# Puts the build folder back exactly as the snapshot holds it, times included, so that the next
# build recompiles only what its own mutant touches.
def restore(build, snapshot, saved):
    now = manifest(build)
    for name, stamp in now.items():
        if name not in saved:
            os.remove(os.path.join(build, name))
        elif stamp != saved[name]:
            shutil.copy2(os.path.join(snapshot, name), os.path.join(build, name))
    for name in saved.keys() - now.keys():
        os.makedirs(os.path.dirname(os.path.join(build, name)), exist_ok=True)
        shutil.copy2(os.path.join(snapshot, name), os.path.join(build, name))


# Byte for byte, whatever the file's encoding.
def read(path):
    with open(path, encoding="utf-8", errors="surrogateescape", newline="") as f:
        return f.read()


def write(path, text):
    with open(path, "w", encoding="utf-8", errors="surrogateescape", newline="") as f:
        f.write(text)


# The tracked files of the work tree, as they are now, in a new scratch folder.
def scratch_copy(repo):
    scratch = tempfile.mkdtemp(prefix="kvmidi-mutate-")
    tracked = subprocess.run(["git", "ls-files", "-z"], cwd=repo, stdout=subprocess.PIPE, check=True).stdout
    names = [name for name in tracked.decode().split("\0") if os.path.isfile(os.path.join(repo, name))]
    for name in names:
        os.makedirs(os.path.join(scratch, os.path.dirname(name)), exist_ok=True)
        shutil.copy2(os.path.join(repo, name), os.path.join(scratch, name))
    return scratch, names


# Every mutant of the portable sources that the native build compiles, in the order of the seed.
def sample(scratch, build, tracked, seed, only):
    deps = subprocess.run(["ninja", "-C", build, "-t", "deps"], stdout=subprocess.PIPE, text=True).stdout
    compiled = {os.path.relpath(os.path.realpath(os.path.join(build, dep)), scratch)
                for dep in re.findall(r"^\s+(\S+)$", deps, re.M)}
    pinned = set()
    for name in tracked:
        if name.endswith((".cpp", ".h")):
            for condition in re.findall(r"static_assert\s*\(([^;]*)\)", "\n".join(code_only(read(
                    os.path.join(scratch, name))))):
                pinned.update(re.findall(r"[A-Za-z_]\w*", condition))
    candidates = []
    for path in portable_sources(scratch):
        if path in compiled:
            candidates += mutants_of(path, read(os.path.join(scratch, path)), pinned)
    random.Random(seed).shuffle(candidates)
    return [mutant for mutant in candidates if re.search(only, mutant[0])]


# The GoogleTest cases that failed, from the result files this run wrote; "(a whole binary)" for a
# failure that left no failed case (a crash, a time-out, a test that is not GoogleTest's).
def failed_cases(build, saved):
    failed = set()
    for name, stamp in manifest(build).items():
        if name.startswith("test-results") and name.endswith(".xml") and saved.get(name) != stamp:
            # Read as text: a failure's message may hold bytes that are no XML.
            text = open(os.path.join(build, name), "rb").read().decode(errors="replace")
            for case in re.finditer(r'<testcase name="([^"]*)"[^>]*classname="([^"]*)"[^/>]*>\s*<failure', text):
                failed.add(case.group(2) + "." + case.group(1))
    return failed or {"(a whole binary)"}


# Builds the mutant and runs the tests whose command names a file the build changed: None when it
# does not compile, else the failed cases (a time-out or a crash included); empty when none failed.
def trial(scratch, build, mutant, tests, saved, timeout):
    source = os.path.join(scratch, mutant[0])
    original, stamp = read(source), os.stat(source)
    write(source, applied(original, mutant))
    try:
        if run(["cmake", "--build", "--preset", "native"], scratch, timeout=600):
            return None
        rebuilt = {os.path.join(build, name) for name, s in manifest(build).items() if saved.get(name) != s}
        names = [t["name"] for t in tests if any(argument in rebuilt for argument in t["command"])]
        pattern = "^(" + "|".join(map(re.escape, names)) + ")$"
        if names and run(["ctest", "--preset", "native", "--timeout", str(timeout), "-R", pattern], scratch,
                         timeout=timeout * len(names) + 60):
            return failed_cases(build, saved)
        return set()
    finally:
        write(source, original)
        os.utime(source, ns=(stamp.st_atime_ns, stamp.st_mtime_ns))
        restore(build, build + "-snapshot", saved)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    count, seed = (int(args[0]) if args else 60), (int(args[1]) if len(args) > 1 else 1)
    only = next((a[7:] for a in sys.argv if a.startswith("--only=")), "")
    repo = subprocess.run(["git", "rev-parse", "--show-toplevel"], stdout=subprocess.PIPE, text=True,
                          check=True).stdout.strip()
    started = time.monotonic()
    scratch, tracked = scratch_copy(repo)
    try:
        build = os.path.join(scratch, "build", "native")
        print(f"scratch copy {scratch}: configuring and building the native preset", flush=True)
        if run(["cmake", "--preset", "native"], scratch, show=True) or \
                run(["cmake", "--build", "--preset", "native"], scratch, show=True):
            sys.exit("the unchanged tree does not build")
        candidates, known = sample(scratch, build, tracked, seed, only), known_equivalents(scratch)
        if "--list" in sys.argv:
            texts = {path: read(os.path.join(scratch, path)) for path in {mutant[0] for mutant in candidates}}
            listed = [m for m in candidates if describe(texts[m[0]], m, False) not in known]
            print("\n".join(describe(texts[m[0]], m) for m in listed[:count]))
            return
        tests = json.loads(subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, stdout=subprocess.PIPE,
                                          text=True).stdout)["tests"]
        began = time.monotonic()
        if run(["ctest", "--preset", "native"], scratch, show=True):
            sys.exit("the unchanged tree fails its native tests")
        timeout = max(20, int(5 * (time.monotonic() - began)))
        shutil.copytree(build, build + "-snapshot", symlinks=True)
        saved = manifest(build)
        print(f"{len(candidates)} possible mutants; {count} from seed {seed}, each test at most {timeout} s",
              flush=True)
        caught, survivors, skipped, left_out, tried, catchers = 0, [], 0, 0, 0, {}
        for mutant in candidates:
            if tried == count:
                break
            text, step = read(os.path.join(scratch, mutant[0])), time.monotonic()
            if describe(text, mutant, False) in known:
                left_out += 1
                continue
            change = describe(text, mutant)
            result = trial(scratch, build, mutant, tests, saved, timeout)
            if result is None:
                skipped += 1
                continue
            tried, caught = tried + 1, caught + bool(result)
            for case in result:
                catchers.setdefault(case, []).append(result)
            survivors += [] if result else [change]
            verdict = "caught" if result else "SURVIVED"
            print(f"[{tried}/{count}] {verdict} ({time.monotonic() - step:.0f} s) {change}", flush=True)
        print(f"\n{skipped} mutants did not compile and were replaced, {left_out} known equivalents left out; "
              f"{time.monotonic() - started:.0f} s in all")
        if "--by-test" in sys.argv:
            print("mutants caught by each test, and by it alone:")
            for case, caught_sets in sorted(catchers.items()):
                print(f"  {len(caught_sets):3} {sum(len(c) == 1 for c in caught_sets):3}  {case}")
        print("survivors:" if survivors else "no survivors")
        for survivor in survivors:
            print("  " + survivor)
        print(f"mutation score: {caught}/{tried} caught ({100.0 * caught / max(tried, 1):.1f} %), seed {seed}")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
