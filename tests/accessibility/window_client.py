#!/usr/bin/env python3
"""A screen reader's walk of one window of a program, from a process of its own on the accessibility bus.

Usage: window_client.py APPLICATION_NAME WINDOW_NAME
Prints one JSON list of the showing objects in that window ({"role", "name", "label"}, the label
being the names of the objects it is labelled by) and exits 0, or a reason on stderr and exits 1.
"""
import json
import sys
import time

import pyatspi

APP, WINDOW = sys.argv[1], sys.argv[2]


def find(predicate, node, depth=0):
    if node is None or depth > 40:
        return None
    if predicate(node):
        return node
    for i in range(node.childCount):
        hit = find(predicate, node.getChildAtIndex(i), depth + 1)
        if hit is not None:
            return hit
    return None


def walk(node, out, depth=0):
    if node is None or depth > 40:
        return
    if node.getState().contains(pyatspi.STATE_SHOWING):
        labels = []
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                labels += [relation.getTarget(i).name for i in range(relation.getNTargets())]
        label = ", ".join(labels)
        out.append({"role": node.getRoleName(), "name": node.name, "label": label})
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), out, depth + 1)


def main():
    deadline = time.time() + 20
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        app = find(lambda n: n.getRole() == pyatspi.ROLE_APPLICATION and n.name == APP, desktop)
        window = app and find(lambda n: n.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW,
                                                          pyatspi.ROLE_DIALOG) and n.name == WINDOW, app)
        if window is not None:
            seen = []
            walk(window, seen)
            print(json.dumps(seen, ensure_ascii=False), flush=True)
            return 0
        time.sleep(0.3)
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]
    shown = ["%s [%s]" % (a.name, ", ".join("%s:%s" % (w.getRoleName(), w.name)
                                              for w in (a.getChildAtIndex(j) for j in range(a.childCount))))
             for a in apps if a is not None]
    print("no window %s of %s on the accessibility bus; there are: %s" % (WINDOW, APP, "; ".join(shown)),
          file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
