#!/usr/bin/env python3
"""Checks the floors of src/ (ARCHITECTURE.md): arrows only downward (app -> ui -> core), no
include cycle between folders, the main window's header and the seed's globals only where they may
be, no file over 500 lines. Prints the folder graph with -v; exits 1 on any breach."""
import collections
import os
import re
import sys

ROOT = sys.argv[1] if len(sys.argv) > 1 and not sys.argv[1].startswith('-') else 'src'
FLOOR = {'core': 0, 'ui': 1, 'app': 2}
MAIN_WINDOW = 'ui/mainwin/w_kiv.h'
# The seed's globals are the windows' and start-up's: core code takes the connection and the
# profile file as arguments.
GLOBALS = 'core/session/globals.h'
MAX_LINES = 500
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder(path):
    parts = path.split('/')
    return '/'.join(parts[:2]) if parts[0] in ('core', 'ui') else parts[0]


breaches = []
edges = collections.defaultdict(collections.Counter)
for directory, _, names in os.walk(ROOT):
    for name in names:
        if not name.endswith(('.h', '.cpp')):
            continue
        path = os.path.join(directory, name)
        rel = os.path.relpath(path, ROOT)
        text = open(path, encoding='utf-8').read()
        if text.count('\n') > MAX_LINES:
            breaches.append(f'{rel}: {text.count(chr(10))} lines (at most {MAX_LINES})')
        for target in include.findall(text):
            if not os.path.exists(os.path.join(ROOT, target)):
                continue
            a, b = rel.split('/')[0], target.split('/')[0]
            if FLOOR.get(b, -1) > FLOOR.get(a, -1):
                breaches.append(f'{rel} includes {target}: an arrow up from {a} to {b}')
            if target == MAIN_WINDOW and not (rel.startswith('app/') or rel.startswith('ui/mainwin/')):
                breaches.append(f'{rel} includes {target}: only the application and the main window may')
            if target == GLOBALS and rel.startswith('core/') and not rel.startswith('core/session/'):
                breaches.append(f'{rel} includes {target}: core code takes the connection as an argument')
            if folder(rel) != folder(target):
                edges[folder(rel)][folder(target)] += 1

# Folders in a cycle: strongly connected components of more than one folder.
index, low, stack, on_stack, components = {}, {}, [], set(), []


def visit(v):
    index[v] = low[v] = len(index)
    stack.append(v)
    on_stack.add(v)
    for w in edges[v]:
        if w not in index:
            visit(w)
            low[v] = min(low[v], low[w])
        elif w in on_stack:
            low[v] = min(low[v], index[w])
    if low[v] == index[v]:
        component = []
        while True:
            w = stack.pop()
            on_stack.discard(w)
            component.append(w)
            if w == v:
                break
        components.append(component)


for v in sorted(list(edges)):
    if v not in index:
        visit(v)
for component in components:
    if len(component) > 1:
        breaches.append('folders in an include cycle: ' + ' '.join(sorted(component)))

if '-v' in sys.argv:
    for a in sorted(edges):
        print(f'{a} -> ' + ', '.join(f'{b} ({n})' for b, n in sorted(edges[a].items())))
for breach in breaches:
    print('FAIL:', breach)
print(f'{len(edges)} folders with arrows, {len(breaches)} breaches')
sys.exit(1 if breaches else 0)
