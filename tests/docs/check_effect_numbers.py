#!/usr/bin/env python3
"""The effect numbers that comments give beside class names are the classes'.

Reads the effect classes of effect/*.h (each states `kNumber` and
`kClassName`), then checks, in every effect/*.h and in
effect/effectregistry.cpp (or in the files given after the tree's root):

- every "#N CEffectName" written in a comment: CEffectName is a numbered
  effect class and N its number;
- every line `MakeEffectEntry<CEffectName>(),` of the number table carries
  "// #N" after it, N the class's number;
- every header's comments give "#N CEffectName" for each class it declares.

Exit 1 naming each file, line and the number it should give; 0 otherwise.
"""
import glob
import os
import re
import sys

CLASS = re.compile(r'kNumber = (\d+);\s*\n\s*static constexpr const char\* kClassName = "(\w+)"')
PAIR = re.compile(r"#(\d+) (CEffect\w+)")
ENTRY = re.compile(r"^\s*MakeEffectEntry<(\w+)>\(\),(.*)$")


def main():
    root = sys.argv[1]
    headers = sorted(glob.glob(os.path.join(root, "effect", "*.h")))
    numbers = {}
    declared = {}
    for path in headers:
        with open(path, encoding="utf-8") as f:
            for number, name in CLASS.findall(f.read()):
                numbers[name] = int(number)
                declared.setdefault(path, []).append(name)
    if not numbers:
        print("%s: no effect class states kNumber and kClassName" % os.path.join(root, "effect"))
        return 1
    files = sys.argv[2:] or headers + [os.path.join(root, "effect", "effectregistry.cpp")]
    faults = []
    for path in files:
        given = set()
        with open(path, encoding="utf-8") as f:
            for line_no, line in enumerate(f, 1):
                where = "%s:%d" % (path, line_no)
                entry = ENTRY.match(line)
                if entry:
                    name = entry.group(1)
                    want = numbers.get(name)
                    if want is None:
                        faults.append("%s: %s states no kNumber" % (where, name))
                    elif not re.search(r"//\s*#%d(?!\d)" % want, entry.group(2)):
                        faults.append("%s: the entry of %s gives no '// #%d'" % (where, name, want))
                    continue
                comment = line.split("//", 1)
                if len(comment) < 2:
                    continue
                for number, name in PAIR.findall(comment[1]):
                    given.add(name)
                    if name not in numbers:
                        continue
                    if int(number) != numbers[name]:
                        faults.append("%s: #%s %s, but %s is #%d" % (where, number, name, name,
                                                                     numbers[name]))
        for name in declared.get(path, []):
            if name not in given:
                faults.append("%s: no comment gives '#%d %s'" % (path, numbers[name], name))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
