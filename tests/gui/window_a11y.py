"""The running window read over AT-SPI as a screen reader reads it: fails on a control
without a name or a description, a wrong role, an unlabelled input box, a status picture
whose lines cannot be read, or a verdict not announced when Version is pressed."""
import sys

import pyatspi
from gi.repository import GLib

VERDICT = "DLL is installed OK and is version 1.25"
failures = []


def descendants(node):
    for child in node:
        yield child
        yield from descendants(child)


frame = None
for _ in range(100):
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "Zentrak DLL Testbed"]
    if apps and apps[0].childCount:
        frame = apps[0][0]
        break
    GLib.usleep(100000)
if frame is None:
    sys.exit("FAIL: the window is not on the accessibility bus")
if frame.getRole() != pyatspi.ROLE_FRAME:
    failures.append("the window's role is " + frame.getRoleName())

controls = {}
for node in descendants(frame):
    if node.getRole() == pyatspi.ROLE_FILLER:  # the toolkit's containers, not controls
        continue
    if not node.name or not node.description:
        failures.append("unnamed or undescribed: %s %r" % (node.getRoleName(), node.name))
    controls[node.name] = node

labels = [r.getTarget(0).name for r in controls["QBF sample text"].getRelationSet()
          if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
if labels != ["QBF"] or controls["Report"].getRole() != pyatspi.ROLE_TEXT:
    failures.append("the input box is labelled by %r" % labels)
status = controls["Status"]
text = status.queryText().getText(0, -1)
if status.getRole() != pyatspi.ROLE_STATUS_BAR or not text.startswith(VERDICT + "\n"):
    failures.append("the status picture reads %r" % text)

# Version, pressed through its action as a screen reader user would, prints the verdict.
announced = []


def inserted(event):
    if event.source.getRole() == pyatspi.ROLE_STATUS_BAR:
        announced.append(event.any_data)
        if event.any_data == VERDICT:
            pyatspi.Registry.stop()


pyatspi.Registry.registerEventListener(inserted, "object:text-changed:insert")
GLib.idle_add(lambda: controls["Version"].queryAction().doAction(0) and False)
GLib.timeout_add_seconds(10, lambda: pyatspi.Registry.stop() or False)
pyatspi.Registry.start()
if VERDICT not in announced:
    failures.append("Version announced %r" % announced)

print("\n".join("FAIL: " + f for f in failures) or "every control named, described and read")
sys.exit(1 if failures else 0)
