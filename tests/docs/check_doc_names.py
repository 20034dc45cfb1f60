#!/usr/bin/env python3
"""Every code name and path the documents write in backquotes exists.

Reads every README.md of the tree, docs/architecture.md and
docs/glossary.md (or the files given after the tree's root). Outside fenced
code blocks, a backquoted span is checked when it is one of:

- a path of the tree: it holds a '/', its first part is a top folder of
  the tree (`game/gameparts.h`, `tools/check/`) and it has no placeholder
  (capitals-only parts such as NAME, '*', '<', '%', '...'); it must exist,
  from the root or from the document's folder;
- a code name: an identifier, '::'-qualified or not, with "()" or an
  argument list after it or not, that is a class or constant name
  (C or k, then a capital: `CGameParts`, `kTable`), a CamelCase name with
  two or more capitals (`MakeParts`) or a qualified name
  (`CGameCallBack::Frame`); every part of it must be a word of the
  sources (.h, .cpp, .py, .sh, .cmake, CMakeLists.txt; not this folder's,
  whose sample page names stale code on purpose).

Everything else is not code and is left alone: keys of settings lists
(`windowTitle`, lower-case first), script commands (`callscript`), a
game's files (`spt/project.xtx`: `spt` is no folder of the tree), command
lines and values. A name that is not of this tree (a caller's name the
code serves under another) is written in italics, not backquotes. Exit 1 naming each document, line and span that names
nothing; 0 otherwise.
"""
import os
import re
import sys

SKIP_DIRS = {".git", "build", "node_modules"}
SOURCE_SUFFIXES = (".h", ".cpp", ".c", ".inc", ".py", ".sh", ".cmake")
IDENT = r"[A-Za-z_][A-Za-z0-9_]*"
CODE = re.compile(r"^((?:%s::)*%s)(\(.*\))?$" % (IDENT, IDENT))


def walk(root):
    for folder, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if d not in SKIP_DIRS and not d.startswith("build"))
        for name in sorted(files):
            yield os.path.join(folder, name)


def is_code_name(name):
    parts = name.split("::")
    last = parts[-1]
    if len(parts) > 1:
        return any(c.isupper() for c in name)
    if re.match(r"^[Ck][A-Z]", last) and any(c.islower() for c in last):
        return True
    return bool(re.match(r"^[A-Z]", last)) and sum(c.isupper() for c in last) >= 2 and any(
        c.islower() for c in last)


def is_tree_path(span, tops):
    if "/" not in span or " " in span or any(c in span for c in "*<>%{}$,;=") or "..." in span:
        return False
    parts = [p for p in span.strip("/").split("/") if p]
    if not parts or parts[0] not in tops:
        return False
    # A placeholder part (NAME, XY, NAME.txt) stands for any file.
    return not any(re.match(r"^[A-Z][A-Z0-9_]*(\.[A-Za-z0-9]+)?$", p) for p in parts[1:])


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    docs = sys.argv[2:]
    if not docs:
        docs = [p for p in walk(root) if os.path.basename(p) == "README.md"]
        docs += [os.path.join(root, "docs", n) for n in ("architecture.md", "glossary.md")]
    tops = {d for d in os.listdir(root) if os.path.isdir(os.path.join(root, d)) and d not in SKIP_DIRS}
    words = set()
    own = os.path.dirname(os.path.abspath(__file__))
    for path in walk(root):
        # This folder's files name stale code on purpose.
        if os.path.dirname(os.path.abspath(path)) == own:
            continue
        if path.endswith(SOURCE_SUFFIXES) or os.path.basename(path) == "CMakeLists.txt":
            with open(path, encoding="utf-8", errors="replace") as f:
                words.update(re.findall(r"[A-Za-z_][A-Za-z0-9_]*", f.read()))
    problems = []
    for doc in docs:
        fenced = False
        with open(doc, encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                if line.lstrip().startswith("```"):
                    fenced = not fenced
                    continue
                if fenced:
                    continue
                for span in re.findall(r"`([^`]+)`", line):
                    span = span.strip()
                    shown = os.path.relpath(doc, root)
                    if is_tree_path(span, tops):
                        here = os.path.join(os.path.dirname(doc), span)
                        if not (os.path.exists(os.path.join(root, span)) or os.path.exists(here)):
                            problems.append("%s:%d: `%s` is no file or folder of the tree" % (shown, number, span))
                        continue
                    m = CODE.match(span)
                    if not m or not is_code_name(m.group(1)):
                        continue
                    missing = [p for p in m.group(1).split("::") if p not in words]
                    if missing:
                        problems.append("%s:%d: `%s` names %s, which no source holds" %
                                        (shown, number, span, ", ".join(missing)))
    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
