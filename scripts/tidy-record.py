#!/usr/bin/env python3
"""Which sources clang-tidy must check, given the record of the last run that found nothing.

scripts/tidy-clean.txt holds, for every source and project header of the tree, a digest of its
text as it was when clang-tidy last found nothing in it, and a digest of the checker itself (its
version and the .clang-tidy files). A source is checked again when its own text changed, when a
project header it includes changed, when it is new, or when the checker changed (then every
source is). A header's findings are reported through the sources that include it, so a changed
header is checked through each of them.

  tidy-record.py changed BUILD   the sources to check, one regular expression a line, for
                                 run-clang-tidy (absolute paths, as in the compile commands)
  tidy-record.py record BUILD [--all]
                                 after a run that found nothing: the sources `changed` named
                                 (every source with --all) and their headers recorded as clean
"""
import hashlib
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RECORD = os.path.join(ROOT, "scripts", "tidy-clean.txt")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
HEADER = (
    "# What clang-tidy last found clean: written by scripts/tidy-record.py after a run with no\n"
    "# finding. `bash scripts/setup.sh tidy` checks every source and rewrites it; `bash\n"
    "# scripts/setup.sh tidy-changed` (a step of .ci/run) checks what changed since.\n"
)


def digest(data):
    return hashlib.sha256(data).hexdigest()


def file_digest(path):
    with open(os.path.join(ROOT, path), "rb") as f:
        return digest(f.read())


def checker_digest():
    version = subprocess.run(["clang-tidy", "--version"], capture_output=True, check=True).stdout
    parts = [version]
    for config in sorted(
        os.path.relpath(os.path.join(d, ".clang-tidy"), ROOT)
        for d, dirs, files in os.walk(ROOT)
        if ".clang-tidy" in files and not os.path.relpath(d, ROOT).startswith(("build", ".git"))
    ):
        parts.append(config.encode() + b"\0" + open(os.path.join(ROOT, config), "rb").read())
    return digest(b"\0".join(parts))


def sources(build):
    """The tree's sources in the compile commands, relative to the tree; generated ones left out."""
    with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as f:
        commands = json.load(f)
    found = set()
    for command in commands:
        path = os.path.relpath(os.path.join(command["directory"], command["file"]), ROOT)
        if not path.startswith(("..", "build" + os.sep)):
            found.add(path)
    return sorted(found)


def headers_of(source):
    """The project headers a source includes directly, relative to the tree."""
    with open(os.path.join(ROOT, source), encoding="utf-8", errors="replace") as f:
        text = f.read()
    return [h for h in INCLUDE.findall(text) if os.path.isfile(os.path.join(ROOT, h))]


def read_record():
    config, clean = None, {}
    if os.path.exists(RECORD):
        with open(RECORD, encoding="utf-8") as f:
            for line in f:
                if line.startswith("#") or not line.strip():
                    continue
                value, path = line.rstrip("\n").split(" ", 1)
                if path == "(checker)":
                    config = value
                else:
                    clean[path] = value
    return config, clean


def changed(build, config, clean):
    every = config != checker_digest()
    return [
        s
        for s in sources(build)
        if every
        or any(clean.get(p) != file_digest(p) for p in [s] + headers_of(s))
    ]


def main(argv):
    if len(argv) < 3 or argv[1] not in ("changed", "record"):
        sys.stderr.write(__doc__)
        return 2
    build = os.path.abspath(argv[2])
    config, clean = read_record()
    if argv[1] == "changed":
        for s in changed(build, config, clean):
            print("^" + re.escape(os.path.join(ROOT, s)) + "$")
        return 0
    if "--all" in argv[3:]:
        checked, clean = sources(build), {}
    else:
        checked = changed(build, config, clean)
    for s in checked:
        for p in [s] + headers_of(s):
            clean[p] = file_digest(p)
    with open(RECORD, "w", encoding="utf-8") as f:
        f.write(HEADER)
        f.write(checker_digest() + " (checker)\n")
        for path in sorted(clean):
            if os.path.exists(os.path.join(ROOT, path)):
                f.write(clean[path] + " " + path + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
