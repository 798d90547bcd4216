#!/usr/bin/env python3
"""Reads the program's accessibility tree over AT-SPI, as a screen reader does.

access-probe.py APP tree         one line per object: role, name and the label's name, tab-separated
access-probe.py APP value        the progress bar's value, minimum and maximum
access-probe.py APP press NAME   runs the press action of the push button NAME
access-probe.py APP focused      the role and name of the object that has the focus
access-probe.py APP images       one line per picture shown: name, description and its place on
                                 the screen (x y width height), tab-separated
access-probe.py APP events SECS  for SECS seconds, the text and name events per object:
                                 count, role and name, tab-separated, most first
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
    elif command == "focused":
        for node in walk(app):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                print("%s\t%s" % (node.getRoleName(), node.name))
                return
        sys.exit("nothing has the focus")
    elif command == "images":
        for node in walk(app):
            if node.getRoleName() == "image" and node.getState().contains(pyatspi.STATE_SHOWING):
                box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                print("%s\t%s\t%d %d %d %d" % (node.name, node.description, box.x, box.y, box.width, box.height))
    elif command == "events":
        count_events(app, float(sys.argv[3]))
    else:
        sys.exit("unknown command %r" % command)


def count_events(app, seconds):
    from gi.repository import GLib
    counts = {}
    pid = app.get_process_id()

    def heard(event):
        source = event.source
        try:
            if source.get_process_id() != pid:
                return
            key = (source.getRoleName(), source.path)
            role_name = counts.setdefault(key, [0, source.getRoleName(), source.name])
            role_name[0] += 1
            role_name[2] = source.name
        except Exception:
            pass

    kinds = ["object:text-changed", "object:property-change:accessible-name"]
    for kind in kinds:
        pyatspi.Registry.registerEventListener(heard, kind)
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    for count, role, name in sorted(counts.values(), reverse=True):
        print("%d\t%s\t%s" % (count, role, name))


if __name__ == "__main__":
    main()
