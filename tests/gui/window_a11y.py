"""The window as a screen reader reads it over AT-SPI: the window role, a name and a
description on every control, the input box labelled by "QBF", the status picture's lines
as text, and a new verdict announced when Version is pressed.
    window_a11y.py  (the program already runs on this accessibility bus)"""
import sys

import pyatspi
from gi.repository import GLib

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL: " + what)


def find_frame():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "Zentrak DLL Testbed" and app.childCount:
                return app[0]
        GLib.usleep(100000)
    return None


def descendants(node):
    for child in node:
        yield child
        yield from descendants(child)


frame = find_frame()
if frame is None:
    print("FAIL: the window is not on the accessibility bus")
    sys.exit(1)
check(frame.getRole() == pyatspi.ROLE_FRAME, "the window's role is " + frame.getRoleName())

controls = {}
for node in descendants(frame):
    # Fillers are the toolkit's own containers (the report's viewport), not controls.
    if node.getRole() == pyatspi.ROLE_FILLER:
        continue
    where = "%s '%s'" % (node.getRoleName(), node.name)
    check(bool(node.name), "an unnamed control: " + where)
    check(bool(node.description), "a control without a description: " + where)
    controls[node.name] = node

entry = controls.get("QBF sample text")
check(entry is not None and entry.getRole() == pyatspi.ROLE_TEXT, "no input box named")
if entry is not None:
    labels = [target.name
              for relation in entry.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
    check(labels == ["QBF"], "the input box is labelled by %r" % labels)
report = controls.get("Report")
check(report is not None and report.getRole() == pyatspi.ROLE_TEXT, "no report named")

verdict = "DLL is installed OK and is version 1.25"
status = controls.get("Status")
check(status is not None and status.getRole() == pyatspi.ROLE_STATUS_BAR, "no status bar")
if status is not None:
    text = status.queryText().getText(0, -1)
    check(text.startswith(verdict + "\n"), "the status picture reads %r" % text)

# Version, pressed as a screen reader user would, prints the verdict again: announced.
announced = []


def on_insert(event):
    if event.source.getRole() == pyatspi.ROLE_STATUS_BAR:
        announced.append(event.any_data)
        if event.any_data == verdict:
            pyatspi.Registry.stop()


def press_version():
    action = controls["Version"].queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)
    return False


pyatspi.Registry.registerEventListener(on_insert, "object:text-changed:insert")
GLib.idle_add(press_version)
GLib.timeout_add_seconds(10, lambda: pyatspi.Registry.stop() or False)
pyatspi.Registry.start()
check(verdict in announced, "Version announced %r, not the verdict" % announced)

print("%d checks failed" % len(failures) if failures else
      "every control is named and described; the verdict is read and announced")
sys.exit(1 if failures else 0)
