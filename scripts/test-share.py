#!/usr/bin/env python3
"""The test share per tier: lines of test code against lines of program code.

    python3 scripts/test-share.py [build-dir]          (default build/ci, configured)
    python3 scripts/test-share.py --check [build-dir]  every test has one tier, or exit 1

Lines are those that hold code: blank lines and comments do not count. The tiers are the CTest
labels (cmake/TestTiers.cmake): model, window, system, and lint for the checks of the sources.

- Program code is the sources of the application's libraries and programs, with the headers
  they include: a model library's are "model", those that link Qt's widgets "window", the rest
  (the platform adapters, the page's server) "system"; the page's script is "system" too.
- Test code is the sources of each tier's test programs and of the programs its tests run, the
  scripts that its tests run, and the test headers they include.
A file that two tiers use counts once, in the lower tier (model, then window, then system),
so the tiers add up to the whole. Test files that no test of the build uses are listed apart.
"""

import json
import os
import re
import subprocess
import sys

TIERS = ["model", "window", "system", "lint"]
CODE_SUFFIXES = {".cpp", ".h", ".js", ".sh", ".py", ".cmake", ".css", ".html"}
INTERPRETERS = {"bash", "sh", "python3", "python", "cmake"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def code_lines_c_like(text):
    """Lines of C++, JavaScript or CSS that hold something besides comments."""
    count = 0
    in_block = False
    for line in text.splitlines():
        code = []
        i = 0
        quote = None
        while i < len(line):
            c = line[i]
            if in_block:
                if line.startswith("*/", i):
                    in_block = False
                    i += 2
                else:
                    i += 1
                continue
            if quote:
                code.append(c)
                if c == "\\":
                    code.append(line[i + 1 : i + 2])
                    i += 2
                    continue
                if c == quote:
                    quote = None
                i += 1
                continue
            if line.startswith("//", i):
                break
            if line.startswith("/*", i):
                in_block = True
                i += 2
                continue
            if c in "\"'`":
                quote = c
            code.append(c)
            i += 1
        if "".join(code).strip():
            count += 1
    return count


def code_lines_hash(text):
    """Lines of shell, Python or CMake that are neither blank nor a comment."""
    return sum(1 for line in text.splitlines() if line.strip() and not line.strip().startswith("#"))


def code_lines_html(text):
    text = re.sub(r"<!--.*?-->", "", text, flags=re.DOTALL)
    return sum(1 for line in text.splitlines() if line.strip())


def code_lines(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    suffix = os.path.splitext(path)[1]
    if suffix in (".cpp", ".h", ".js", ".css"):
        return code_lines_c_like(text)
    if suffix == ".html":
        return code_lines_html(text)
    return code_lines_hash(text)


class Claims:
    """Which tier each file belongs to: the lowest that uses it."""

    def __init__(self):
        self.tier = {}

    def claim(self, path, tier):
        old = self.tier.get(path)
        if old is None or TIERS.index(tier) < TIERS.index(old):
            self.tier[path] = tier
            return True
        return False


def follow_includes(source_dir, claims, allowed):
    """Claims the project's headers that claimed files include, for the same tier."""
    queue = list(claims.tier)
    while queue:
        path = queue.pop()
        if not path.endswith((".cpp", ".h")):
            continue
        with open(os.path.join(source_dir, path), encoding="utf-8", errors="replace") as f:
            includes = INCLUDE.findall(f.read())
        for name in includes:
            for base in (os.path.dirname(path), ""):
                candidate = os.path.normpath(os.path.join(base, name))
                if allowed(candidate) and os.path.isfile(os.path.join(source_dir, candidate)):
                    if claims.claim(candidate, claims.tier[path]):
                        queue.append(candidate)
                    break


def tier_of(labels):
    for tier in TIERS:
        if tier in labels:
            return tier
    return None


def labels_of(test):
    for prop in test.get("properties", []):
        if prop["name"] == "LABELS":
            return prop["value"]
    return []


def check(tests):
    """Every test carries exactly one tier; prints those that do not."""
    faults = 0
    for test in tests:
        tiers = [label for label in labels_of(test) if label in TIERS]
        if len(tiers) != 1:
            print(f"{test['name']}: tiers {tiers or 'none'}, not one of {TIERS}")
            faults += 1
    print(f"{len(tests) - faults} passed, {faults} failed")
    return faults == 0


def main():
    args = sys.argv[1:]
    checking = "--check" in args
    args = [arg for arg in args if arg != "--check"]
    source_dir = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build_dir = os.path.abspath(args[0] if args else os.path.join(source_dir, "build/ci"))
    listing = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build_dir, check=True,
                             capture_output=True, text=True).stdout
    all_tests = json.loads(listing)["tests"]
    if checking:
        sys.exit(0 if check(all_tests) else 1)

    manifest = os.path.join(build_dir, "test-tiers.txt")
    if not os.path.isfile(manifest):
        sys.exit(f"{manifest} is missing: configure the build first (cmake --preset ci)")

    def in_tests(path):
        return path.startswith("tests/")

    program = Claims()
    tests = Claims()
    with open(manifest, encoding="utf-8") as f:
        for line in f:
            kind, tier, _target, *sources = line.split()
            for source in sources:
                (tests if kind == "test" else program).claim(source, tier)

    # The files that tests made with add_test run: scripts, CMake scripts, data they read.
    for test in all_tests:
        tier = tier_of(labels_of(test))
        if tier is None:
            continue
        command = test.get("command", [])
        # A script run directly, or through its interpreter; a checker's arguments (the
        # sources that clang-format or ShellCheck reads) are not the test's code.
        if command and os.path.basename(command[0]) in INTERPRETERS:
            command = command[1:]
        else:
            command = command[:1]
        for arg in command:
            path = os.path.relpath(arg, source_dir) if os.path.isabs(arg) else arg
            if in_tests(path) and os.path.isfile(os.path.join(source_dir, path)) and \
                    os.path.splitext(path)[1] in CODE_SUFFIXES:
                tests.claim(path, tier)

    # The page's script and style, served by the page's server.
    for root, dirs, files in os.walk(source_dir):
        rel = os.path.relpath(root, source_dir)
        if rel.split(os.sep)[0] in ("build", "tests", "bench", "fuzz", "docs", ".git"):
            dirs.clear()
            continue
        for name in files:
            if name.endswith(".js"):
                program.claim(os.path.normpath(os.path.join(rel, name)), "system")

    follow_includes(source_dir, tests, in_tests)
    follow_includes(source_dir, program, lambda p: not in_tests(p) and not p.startswith(".."))

    test_lines = {tier: 0 for tier in TIERS}
    program_lines = {tier: 0 for tier in TIERS}
    for claims, lines in ((tests, test_lines), (program, program_lines)):
        for path, tier in claims.tier.items():
            lines[tier] += code_lines(os.path.join(source_dir, path))

    unused = []
    for root, _dirs, files in os.walk(os.path.join(source_dir, "tests")):
        for name in files:
            path = os.path.relpath(os.path.join(root, name), source_dir)
            if os.path.splitext(name)[1] in CODE_SUFFIXES and path not in tests.tier:
                unused.append((path, code_lines(os.path.join(source_dir, path))))

    print(f"{'tier':8} {'test lines':>10} {'program lines':>14} {'share':>6}")
    for tier in TIERS:
        share = f"{test_lines[tier] / program_lines[tier]:.2f}" if program_lines[tier] else "-"
        print(f"{tier:8} {test_lines[tier]:10} {program_lines[tier]:14} {share:>6}")
    total_tests = sum(test_lines.values())
    total_program = sum(program_lines.values())
    print(f"{'whole':8} {total_tests:10} {total_program:14} {total_tests / total_program:6.2f}")
    if unused:
        print("\nTest files that no test of this build uses (not counted):")
        for path, lines in sorted(unused):
            print(f"  {path} ({lines} lines)")


if __name__ == "__main__":
    main()
