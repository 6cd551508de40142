"""Walks the desktop program's accessibility tree as a screen reader sees it
(AT-SPI through pyatspi): the main window with a table, the channel table's
cells and column headers, the channel dialog, AUTOFREQ and SYSTEM. Fails on
any focusable object without a name. Run inside an X server and a D-Bus
session: see test_accessibility.sh.

usage: accessibility_walk.py KQPROGRAMMER TABLE.KQ [--count]
TABLE.KQ must hold 440 MHz on channel 5, outside the radio's band."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

SKIP = 77


def wait_for(what, find, seconds=20.0):
    """Polls find() until it gives something; the bus answers asynchronously."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.05)
    raise TimeoutError("timed out waiting for " + what)


def walk(obj, seen):
    """The focusable objects under obj (obj included)."""
    try:
        states = obj.getState()
        children = list(obj)
    except Exception:  # an object gone while walked (a closed menu)
        return seen
    if states.contains(pyatspi.STATE_FOCUSABLE):
        seen.append(obj)
    for child in children:
        if child is not None:
            walk(child, seen)
    return seen


def describe(obj):
    path = []
    while obj is not None and obj.getRoleName() != "application":
        path.append("%s %r" % (obj.getRoleName(), obj.name))
        obj = obj.parent
    return " < ".join(path)


def label_of(obj):
    """The name of what labels obj: a box whose name is its value (a combo
    box) is named for what it is by its label."""
    for relation in obj.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets():
            return relation.getTarget(0).name
    return ""


def named(obj):
    if obj.getRoleName() == "combo box":
        return bool(label_of(obj).strip())
    return bool(obj.name.strip())


def check_window(label, window, report, counting):
    focusable = walk(window, [])
    unnamed = [o for o in focusable if not named(o)]
    report.append("%s: %d of %d focusable objects named" % (label, len(focusable) - len(unnamed), len(focusable)))
    if not counting:
        for o in unnamed:
            report.append("  UNNAMED: " + describe(o))
    return not unnamed


def find(obj, role, name=None):
    """The first object of role (and name) under obj, depth first."""
    try:
        if obj.getRoleName() == role and (name is None or obj.name == name):
            return obj
        children = list(obj)
    except Exception:
        return None
    for child in children:
        if child is not None:
            found = find(child, role, name)
            if found:
                return found
    return None


def check_table(app, problems):
    table = find(app, "table")
    if not table:
        problems.append("the channel list is no table")
        return
    t = table.queryTable()
    headers = [t.getColumnHeader(c).name if t.getColumnHeader(c) else "" for c in range(t.nColumns)]
    if t.nRows != 16 or headers != ["CH", "CHSW", "RX Freq.", "RX Space", "TX Freq.", "TX Space", "PWR"]:
        problems.append("table: %d rows, headers %r" % (t.nRows, headers))
        return
    cells = [t.getAccessibleAt(5, c) for c in range(t.nColumns)]
    row = [c.name for c in cells]
    if row != ["5", "5", "440.000000", "12.5K", "440.000000", "12.5K", "L"]:
        problems.append("table: row 5 reads %r" % row)
    if "outside" not in cells[0].description.lower() or t.getAccessibleAt(4, 0).description:
        problems.append("table: row 5 described %r, row 4 %r" % (cells[0].description, t.getAccessibleAt(4, 0).description))


def trigger(app, menu, item):
    entry = find(find(app, "menu item", menu), "menu item", item)
    entry.queryAction().doAction(0)


def main():
    program, table, counting = sys.argv[1], sys.argv[2], "--count" in sys.argv
    home = tempfile.mkdtemp()
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"))
    try:
        desktop = pyatspi.Registry.getDesktop(0)
    except Exception as e:
        print("SKIP: the accessibility bus does not answer: %s" % e)
        return SKIP
    proc = subprocess.Popen([program, table], env=env)
    try:
        app = wait_for("the program on the accessibility bus", lambda: next(
            (a for a in desktop if a is not None and a.name == "KQ Serial PC Programmer"), None))
        frame = wait_for("the main window", lambda: find(app, "frame", "KQ Serial PC Programmer"))
        wait_for("the table", lambda: find(frame, "table") or find(frame, "list"))
        report, problems, ok = [], [], True
        ok &= check_window("main window", frame, report, counting)
        check_table(frame, problems)
        for menu, item, title, close in (("OPTION", "CHANNEL", "Channel 0", "CANCEL"),
                                         ("EDIT", "AUTOFREQ", "Auto Frequency", "CANCEL"),
                                         ("OPTION", "SYSTEM", "System Option Edit", "Cancel")):
            trigger(frame, menu, item)
            dialog = wait_for(title, lambda: find(app, "dialog", title))
            ok &= check_window(title, dialog, report, counting)
            find(dialog, "push button", close).queryAction().doAction(0)
            wait_for(title + " closed", lambda: not find(app, "dialog", title))
        print("\n".join(report + problems))
        return 0 if counting or (ok and not problems) else 1
    finally:
        proc.terminate()
        proc.wait(10)


if __name__ == "__main__":
    sys.exit(main())
