#!/usr/bin/env python3
"""A screen reader's view of the search field, from a process of its own on the accessibility bus.

Usage: searchfield_client.py APPLICATION_NAME
Prints "ready" once it listens; the program under test then presses Ctrl+F and types. Prints
one JSON object with what it found and exits 0, or a reason on stderr and exits 1.
"""
import json
import sys
import time

import pyatspi
from gi.repository import GLib

APP = sys.argv[1]
TIMEOUT_S = 25
found = {"focusEvents": [], "path": [], "items": [], "labels": []}


def application():
    deadline = time.time() + 20
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == APP:
                return app
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    """Every accessible below node, as a walk of the tree from the top reaches it."""
    if node is None or depth > 30:
        return
    yield node
    if node.getRole() in (pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE):
        return  # the commodity trees: their cells are not what is looked for here
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def is_field(node):
    return node.getRole() in (pyatspi.ROLE_ENTRY, pyatspi.ROLE_TEXT) and node.name == "搜索"


def describe(node):
    states = node.getState()
    return {
        "name": node.name,
        "role": node.getRoleName(),
        "focused": states.contains(pyatspi.STATE_FOCUSED),
        "editable": states.contains(pyatspi.STATE_EDITABLE),
    }


def on_event(event):
    try:
        if event.type.startswith("object:state-changed:focused") and event.detail1 != 1:
            return
        if is_field(event.source):
            found["focusEvents"].append(dict(describe(event.source), type=event.type))
    except Exception as error:  # an object gone meanwhile
        print("event not readable: %s" % error, file=sys.stderr)


def check(app, loop, started):
    if time.time() - started > TIMEOUT_S:
        print("timed out: %s" % json.dumps(found, ensure_ascii=False), file=sys.stderr)
        loop.quit()
        return False
    if not found["focusEvents"]:
        return True
    fields = [n for n in walk(app) if is_field(n)]
    items = []
    labels = []
    for node in walk(app):
        if node.getRole() == pyatspi.ROLE_LIST and node.name == "搜索结果":
            items = [node.getChildAtIndex(i).name for i in range(node.childCount)]
        elif node.getRole() == pyatspi.ROLE_LABEL and node.name.startswith("共 "):
            labels.append(node.name)
    if not fields or not items or not labels:
        return True
    field = fields[0]
    up = []
    node = field
    while node is not None and node.getRole() != pyatspi.ROLE_APPLICATION:
        parent = node.parent
        if parent is None or parent.getChildAtIndex(node.getIndexInParent()) != node:
            up.append("not a child of its parent: " + node.name)
            break
        up.append(node.getRoleName())
        node = parent
    found["field"] = describe(field)
    found["path"] = up
    found["items"] = items
    found["labels"] = labels
    print(json.dumps(found, ensure_ascii=False), flush=True)
    loop.quit()
    return False


def main():
    app = application()
    if app is None:
        print("the program %s is not on the accessibility bus" % APP, file=sys.stderr)
        return 1
    pyatspi.Registry.registerEventListener(on_event, "focus:", "object:state-changed:focused")
    loop = GLib.MainLoop()
    started = time.time()
    GLib.timeout_add(200, check, app, loop, started)
    GLib.timeout_add(300, lambda: print("ready", flush=True) and False)
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_event, "focus:", "object:state-changed:focused")
    return 0 if found.get("field") else 1


if __name__ == "__main__":
    sys.exit(main())
