#!/usr/bin/env python3
"""Reads the program's accessibility tree over AT-SPI, as a screen reader does.

access-probe.py APP tree         one line per object: role, name and the label's name, tab-separated
access-probe.py APP value        the progress bar's value, minimum and maximum
access-probe.py APP press NAME   runs the press action of the push button NAME
Exits 1 with a reason on stderr when the application or the object is not found.
"""
import sys

import pyatspi


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == name:
            return app
    sys.exit("no application named %r" % name)


def walk(node, depth=0):
    yield node
    if depth > 30:
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child, depth + 1)


def find(app, role, name=None):
    for node in walk(app):
        if node.getRoleName() == role and (name is None or node.name == name):
            return node
    sys.exit("no %s named %r" % (role, name))


def main():
    app = application(sys.argv[1])
    command = sys.argv[2]
    if command == "tree":
        for node in walk(app):
            labels = [relation.getTarget(0).name for relation in node.getRelationSet()
                      if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets()]
            print("%s\t%s\t%s" % (node.getRoleName(), node.name, labels[0] if labels else ""))
    elif command == "value":
        value = find(app, "progress bar").queryValue()
        print("%g %g %g" % (value.currentValue, value.minimumValue, value.maximumValue))
    elif command == "press":
        action = find(app, "push button", sys.argv[3]).queryAction()
        names = [action.getName(index) for index in range(action.nActions)]
        lowered = [name.lower() for name in names]
        if "press" not in lowered:
            sys.exit("no press action among %r" % names)
        action.doAction(lowered.index("press"))
    else:
        sys.exit("unknown command %r" % command)


if __name__ == "__main__":
    main()
