#!/usr/bin/env python3
"""Checks the source tree's includes: no two units (a header and its source)
include each other, directly or through others, neither in C++ nor among the
page's scripts; and each library folder includes only from the folders below
it. Prints every offence and exits 1 if there is one.

Usage: check_includes.py ROOT   (ROOT holds src/ and web/)
"""
import os
import re
import sys

# The folders each library may include from, besides its own.
BELOW = {
    'text': set(),
    'linalg': {'text'},
    'state': {'text', 'linalg'},
    'blac': {'text', 'linalg', 'state'},
    'analysis': {'text', 'linalg', 'state', 'blac'},
    'sources': {'text', 'linalg'},
    'render': {'text', 'linalg', 'state', 'blac'},
    'interaction': {'text', 'linalg', 'state', 'blac', 'analysis', 'sources', 'render'},
    'windows': {'text', 'linalg', 'state', 'blac', 'analysis', 'sources', 'render', 'interaction'},
    'web': {'text', 'linalg', 'state', 'blac', 'analysis', 'sources', 'render', 'interaction', 'gl1es'},
    'gl1es': set(),
}

CPP_INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
JS_IMPORT = re.compile(r'^\s*import\s[^;]*?from\s+[\'"]\./([^\'"]+)[\'"]', re.M)


def units(root):
    """{unit: set of units it includes}, a unit being a path without its extension."""
    graph = {}
    src = os.path.join(root, 'src')
    for folder, _, files in os.walk(src):
        for name in files:
            if not name.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(folder, name)
            unit = os.path.splitext(os.path.relpath(path, src))[0]
            with open(path, encoding='utf-8') as f:
                included = {os.path.splitext(i)[0] for i in CPP_INCLUDE.findall(f.read())}
            graph.setdefault(unit, set()).update(included - {unit})
    web = os.path.join(root, 'web')
    if os.path.isdir(web):
        for name in os.listdir(web):
            if name.endswith('.js'):
                with open(os.path.join(web, name), encoding='utf-8') as f:
                    imported = {'page/' + os.path.splitext(i)[0] for i in JS_IMPORT.findall(f.read())}
                graph.setdefault('page/' + os.path.splitext(name)[0], set()).update(imported)
    return graph


def cycles(graph):
    found, state, stack = [], {}, []

    def visit(u):
        state[u] = 'open'
        stack.append(u)
        for v in sorted(graph.get(u, ())):
            if v not in graph:
                continue  # a system or generated header
            if state.get(v) == 'open':
                found.append(stack[stack.index(v):] + [v])
            elif v not in state:
                visit(v)
        stack.pop()
        state[u] = 'done'

    sys.setrecursionlimit(10000)
    for u in sorted(graph):
        if u not in state:
            visit(u)
    return found


def upward(graph):
    wrong = []
    for unit, included in sorted(graph.items()):
        folder = unit.split('/')[0]
        if folder not in BELOW:
            continue
        for inc in sorted(included):
            target = inc.split('/')[0]
            if target in BELOW and target != folder and target not in BELOW[folder]:
                wrong.append(f'{unit} includes {inc}')
    return wrong


def main():
    graph = units(sys.argv[1])
    problems = [' -> '.join(c) for c in cycles(graph)] + upward(graph)
    for p in problems:
        print(p)
    print(f'{len(graph)} units, {len(problems)} problems')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
