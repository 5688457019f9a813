#!/usr/bin/python3
"""Keeps the source folders' floors as the layout has them: every project
include in src/ names the folder it comes from, and the folders form a graph
without a circle in which nothing below the COM shell reaches up into
src/addin/ except into the mail-client access layer, src/addin/access/,
which itself includes nothing else of src/addin/.

usage: check_includes.py SRC-FOLDER
Prints each include that breaks a rule and each circle; exit status 1 then.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SHELL = "addin"
ACCESS = "addin/access"


def folder_of(path):
    """src-relative folder of a file or include: addin/access is a floor of its own."""
    parts = path.split("/")
    if parts[:2] == ["addin", "access"] and len(parts) > 2:
        return ACCESS
    return parts[0] if len(parts) > 1 else ""


def includes(src):
    """(including file, included path) for every project include under src."""
    for directory, _, files in os.walk(src):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(directory, name)
            relative = os.path.relpath(path, src).replace(os.sep, "/")
            with open(path, encoding="utf-8") as source:
                for included in INCLUDE.findall(source.read()):
                    # Project includes are written from src/; others (resource_ids.h) are not ours.
                    if os.path.exists(os.path.join(src, included)):
                        yield relative, included


def circles(edges):
    """Every circle in the folder graph, each once, by depth-first search."""
    found, state, stack = [], {}, []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for target in sorted(edges.get(node, ())):
            if state.get(target) == "open":
                found.append(stack[stack.index(target):] + [target])
            elif target not in state:
                visit(target)
        stack.pop()
        state[node] = "done"

    for node in sorted(edges):
        if node not in state:
            visit(node)
    return found


def main():
    src = sys.argv[1]
    problems = []
    edges = {}
    for including, included in includes(src):
        source, target = folder_of(including), folder_of(included)
        if source != target:
            edges.setdefault(source, set()).add(target)
        if target == SHELL and source not in (SHELL, ACCESS):
            problems.append(f"{including} includes {included}: only the COM shell includes from src/addin/")
        if source == ACCESS and target == SHELL:
            problems.append(f"{including} includes {included}: the access layer includes nothing else of src/addin/")
    for circle in circles(edges):
        problems.append("circle: " + " -> ".join(circle))
    for problem in problems:
        print(problem)
    if not problems:
        print("includes: " + "; ".join(f"{a} -> {', '.join(sorted(b))}" for a, b in sorted(edges.items())))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
