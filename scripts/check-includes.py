#!/usr/bin/env python3
"""Checks every quoted #include against the folder graph in docs/ARCHITECTURE.md.

The graph is the table under "## Include rules": each row names a folder and the folders its
files may include besides their own. A row covers its folder and every folder below it that
has no row of its own. An include is resolved the way the build resolves it (the file's own
folder, then src/, then the file's top folder, then tests/ for the shared test support); one
that resolves nowhere, or lands in a folder the row does not allow, is reported as
"file:line: ..." and the script exits 1. A folder named as allowed brings the folders below it. It also refuses a graph with a cycle among src/.
"""

import os
import re
import sys

TOPS = ("src", "tools", "tests", "bench", "fuzz")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ROW = re.compile(r"^\|\s*`([^`]+)/`\s*\|(.*)\|\s*$")
FOLDER = re.compile(r"`([^`]+)/`")


def ReadRules(doc):
    rules = {}
    inSection = False
    with open(doc, encoding="utf-8") as text:
        for line in text:
            if line.startswith("## "):
                inSection = line.strip() == "## Include rules"
                continue
            match = ROW.match(line) if inSection else None
            if match:
                rules[match.group(1)] = FOLDER.findall(match.group(2))
    return rules


def Covers(folder, path):
    return path == folder or path.startswith(folder + "/")


def RuleFor(rules, folder):
    best = None
    for name in rules:
        if Covers(name, folder) and (best is None or len(name) > len(best)):
            best = name
    return best


def Resolve(root, fileDir, include):
    top = fileDir.split("/")[0]
    for base in (fileDir, "src", top, "tests"):
        if os.path.isfile(os.path.join(root, base, include)):
            return os.path.normpath(os.path.join(base, os.path.dirname(include)))
    # Generated headers (the version) live in the build folder under a src/ path.
    folder = os.path.dirname(include)
    if folder and os.path.isdir(os.path.join(root, "src", folder)):
        return os.path.join("src", folder)
    return None


def FindCycle(rules):
    rows = [name for name in rules if name.startswith("src/")]
    graph = {name: [row for dep in rules[name] for row in rows if Covers(dep, row) and row != name]
             for name in rows}
    state = {}

    def Visit(node, trail):
        state[node] = 1
        for dep in graph.get(node, []):
            if state.get(dep) == 1:
                return trail + [node, dep]
            if dep not in state:
                found = Visit(dep, trail + [node])
                if found:
                    return found
        state[node] = 2
        return None

    for node in graph:
        if node not in state:
            found = Visit(node, [])
            if found:
                return found
    return None


def Main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    rules = ReadRules(os.path.join(root, "docs", "ARCHITECTURE.md"))
    if not rules:
        print("check-includes: docs/ARCHITECTURE.md has no \"## Include rules\" table")
        return 1
    faults = []
    checked = 0
    cycle = FindCycle(rules)
    if cycle:
        faults.append("docs/ARCHITECTURE.md: the include rules have a cycle: " + " -> ".join(cycle))
    for top in TOPS:
        for dirPath, dirNames, fileNames in os.walk(os.path.join(root, top)):
            dirNames.sort()
            fileDir = os.path.relpath(dirPath, root)
            rule = RuleFor(rules, fileDir)
            for name in sorted(fileNames):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(fileDir, name)
                checked += 1
                if rule is None:
                    faults.append(f"{path}:1: its folder has no row in the include rules")
                    continue
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match or match.group(1).endswith(".moc"):
                            continue
                        include = match.group(1)
                        target = Resolve(root, fileDir, include)
                        if target is None:
                            faults.append(f"{path}:{number}: \"{include}\" is found under no include root")
                        elif RuleFor(rules, target) != rule and not any(Covers(d, target) for d in rules[rule]):
                            faults.append(f"{path}:{number}: \"{include}\" is in {target}/, which {rule}/ "
                                          "may not include")
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-includes: {len(faults)} include(s) break the map in docs/ARCHITECTURE.md")
        return 1
    print(f"check-includes: the includes of {checked} files follow the map")
    return 0


if __name__ == "__main__":
    sys.exit(Main())
