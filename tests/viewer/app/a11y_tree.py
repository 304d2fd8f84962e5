#!/usr/bin/python3
"""Reads the running viewer through the accessibility bus, as a screen reader
does, prints the trees of the main window, the setup dialog and the about
box, and works every part through its actions and by keys.

    a11y_tree.py OUTDIR WINDOW

Exits non-zero with a message on the first thing that is not as expected.
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

OUT = sys.argv[1] if len(sys.argv) > 1 else "."
STATES = [
    ("focused", pyatspi.STATE_FOCUSED),
    ("selected", pyatspi.STATE_SELECTED),
    ("checked", pyatspi.STATE_CHECKED),
    ("pressed", pyatspi.STATE_PRESSED),
]
COLOURS = ["Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Silver",
           "Gray", "Red", "Lime", "Yellow", "Blue", "Fuchsia", "Aqua", "White"]


def fail(message):
    print("a11y: " + message, file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def wait_for(probe, what, timeout=10.0):
    end = time.time() + timeout
    while time.time() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def key(*names):
    for name in names:
        subprocess.run(["xdotool", "key", name], check=True)
        time.sleep(0.3)


def listen(kinds, action, settle=1.0):
    """Runs ACTION while listening for events of KINDS; returns what was heard
    as (type, source role, source name, detail1)."""
    heard = []

    def record(event):
        source = event.source
        heard.append((event.type, source.getRoleName() if source else "",
                      source.name if source else "", event.detail1))

    for kind in kinds:
        pyatspi.Registry.registerEventListener(record, kind)

    def run():
        action()
        GLib.timeout_add(int(settle * 1000), lambda: pyatspi.Registry.stop() or False)
        return False

    GLib.idle_add(run)
    pyatspi.Registry.start()
    for kind in kinds:
        pyatspi.Registry.deregisterEventListener(record, kind)
    return heard


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def do(node, name):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == name:
            action.doAction(i)
            time.sleep(0.3)
            return
    fail("%s %r has no action %r" % (node.getRoleName(), node.name, name))


def states(node):
    have = node.getState()
    names = [label for label, state in STATES if have.contains(state)]
    if not have.contains(pyatspi.STATE_ENABLED):
        names.append("disabled")
    return names


def line(node):
    text = "%s %r" % (node.getRoleName(), node.name)
    if node.description:
        text += " description=%r" % node.description
    if states(node):
        text += " [" + ", ".join(states(node)) + "]"
    if actions(node):
        text += " actions=" + ",".join(actions(node))
    return text


def dump(node, title):
    lines = []

    def walk(at, depth):
        lines.append("  " * depth + line(at))
        for child in children(at):
            if child is not None:
                walk(child, depth + 1)

    walk(node, 0)
    text = "\n".join(lines)
    print("---- " + title + " ----\n" + text, flush=True)
    with open("%s/tree-%s.txt" % (OUT, title.replace(" ", "-")), "w") as out:
        out.write(text + "\n")


def find(node, role, name=None):
    if node is None:
        return None
    if node.getRoleName() == role and (name is None or node.name == name):
        return node
    for child in children(node):
        found = find(child, role, name)
        if found is not None:
            return found
    return None


def find_all(node, role):
    found = [node] if node.getRoleName() == role else []
    for child in children(node):
        if child is not None:
            found += find_all(child, role)
    return found


def focused(node):
    if node.getState().contains(pyatspi.STATE_FOCUSED):
        return node
    for child in children(node):
        if child is not None:
            found = focused(child)
            if found is not None:
                return found
    return None


def application():
    def probe():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Lumivane 98":
                return app
        return None
    return wait_for(probe, "the application on the accessibility bus", 20)


def window(app, role, name):
    return wait_for(lambda: next((w for w in children(app) if w is not None and
                                  w.getRoleName() == role and w.name == name), None),
                    "%s %r" % (role, name))


def gone(app, name):
    wait_for(lambda: all(w is None or w.name != name or
                         not w.getState().contains(pyatspi.STATE_SHOWING)
                         for w in children(app)), "%r to close" % name)


# ---- the main window ----

def check_main(app):
    frame = window(app, "frame", "qd's - Lumivane 98")
    started = time.time()
    dump(frame, "main window")
    print("a11y: main window tree read in %.0f ms" % ((time.time() - started) * 1000))

    check(find(frame, "text", "Sample.pas") is not None, "the view is not named Sample.pas")
    status = find(frame, "status bar")
    check(status is not None and status.name.endswith("Sample.pas"),
          "the status bar does not name the file: %r" % (status and status.name))
    check(len(find_all(frame, "panel")) >= 4, "the four docks are not panels")

    bar = find(frame, "tool bar", "Lumivane98")
    check(bar is not None, "no tool bar 'Lumivane98'")
    expected = [("push button", "Open", "Ctrl + O"), ("separator", "", ""),
                ("push button", "Save as RTF", "Ctrl + S"), ("separator", "", ""),
                ("push button", "Find", "Ctrl + F"), ("separator", "", ""),
                ("push button", "Find next", "F3"), ("separator", "", ""),
                ("push button", "Copy", "Ctrl + C"), ("separator", "", ""),
                ("push button", "Setup", ""), ("separator", "", ""),
                ("push button", "About", "")]
    got = [(c.getRoleName(), c.name, c.description) for c in children(bar)]
    check(got == expected, "toolbar items %r" % got)
    for item in children(bar):
        if item.getRoleName() == "push button":
            check("press" in [a.lower() for a in actions(item)], item.name + " has no press")
    check("disabled" in states(find(bar, "push button", "Find next")), "Find next is enabled")
    check("disabled" not in states(find(bar, "push button", "Find")), "Find is disabled")

    outer = frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    for name in ("Minimize", "Maximize", "Close"):
        button = next((c for c in children(frame) if c.name == name), None)
        check(button is not None and button.getRoleName() == "push button",
              "no caption button " + name)
        check("press" in [a.lower() for a in actions(button)], name + " has no press")
        r = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        check(r.width > 0 and outer.x <= r.x and r.x + r.width <= outer.x + outer.width
              and outer.y <= r.y < outer.y + 30, "%s stands outside the caption" % name)
    return frame, bar


def check_status_announced(frame, window_id):
    status = find(frame, "status bar")
    shown = status.name
    # Narrow enough to shorten the path, then back.
    heard = listen(["object:property-change:accessible-name"], lambda: subprocess.run(
        ["xdotool", "windowsize", window_id, "160", "300"], check=True), 1.5)
    width = frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).width
    check(status.name != shown, "the window %d wide still shows %r" % (width, shown))
    check(any(role == "status bar" for kind, role, name, detail in heard),
          "no name change of the status bar was announced: %r" % heard)
    subprocess.run(["xdotool", "windowsize", window_id, "611", "421"], check=True)
    wait_for(lambda: status.name == shown, "the full path back in the status bar")


def check_caption(app, frame):
    before = frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    do(next(c for c in children(frame) if c.name == "Maximize"), "press")
    wait_for(lambda: next((c for c in children(frame) if c.name == "Restore"), None),
             "the maximised window's Restore button")
    wide = frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    check(wide.width > before.width, "Maximize did not widen the window")
    do(next(c for c in children(frame) if c.name == "Restore"), "press")
    wait_for(lambda: next((c for c in children(frame) if c.name == "Maximize"), None),
             "the Maximize button back")


def check_commands(app, frame, bar):
    do(find(bar, "push button", "Find"), "press")
    find_window = window(app, "dialog", "Find")
    do(find(find_window, "push button", "Cancel"), "press")
    gone(app, "Find")

    view = find(frame, "text", "Sample.pas")
    text = view.queryText()
    check(text.characterCount > 10, "the view's text is not readable")
    wanted = text.getText(0, 7)
    subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=b"before", check=True)
    text.setSelection(0, 0, 7) if text.getNSelections() else text.addSelection(0, 7)
    do(find(bar, "push button", "Copy"), "press")
    copied = wait_for(lambda: (lambda t: t if t != "before" else None)(subprocess.run(
        ["xclip", "-selection", "clipboard", "-o"], capture_output=True,
        text=True).stdout), "the clipboard to change")
    check(copied == wanted, "Copy put %r, not %r, on the clipboard" % (copied, wanted))


def check_keyboard(frame):
    key("F10")
    at = focused(frame)
    check(at is not None and at.name == "Open", "F10 did not reach Open: %r" % (at and at.name))
    key("Right")
    check(focused(frame).name == "Save as RTF", "Right did not reach Save as RTF")
    key("End")
    check(focused(frame).name == "About", "End did not reach About")
    key("F10")
    at = focused(frame)
    check(at is not None and at.getRoleName() == "text", "F10 did not return to the view")


# ---- the setup dialog ----

def check_setup(app, bar):
    do(find(bar, "push button", "Setup"), "press")
    dialog = window(app, "dialog", "Setup")
    dump(dialog, "setup dialog")
    grid = find(dialog, "list")
    cells = children(grid) if grid else []
    check([c.name for c in cells] == COLOURS, "grid cells %r" % [c.name for c in cells])
    check(all(c.getRoleName() == "list item" for c in cells), "grid cells are not list items")
    marked = [c.name for c in cells if c.description == "VG"]
    check(len(marked) == 1, "one cell carries VG: %r" % marked)

    # Cell by cell through the accessible actions: the mark follows each press.
    for index, cell in enumerate(cells):
        do(cell, "press")
        check(cell.description == "VG", "pressing %s did not mark it" % cell.name)
        check("checked" in states(cell) and "selected" in states(cell),
              "%s is not checked and selected after its press" % cell.name)
        others = [c.name for i, c in enumerate(cells) if i != index and c.description]
        check(not others, "marks left on %r" % others)

    # By keys: Tab from the page's tab to the list (the grid is no tab stop),
    # and Right from the list into the grid.
    lst = next(c for c in find_all(dialog, "list") if c.name == "" and
               [i.name for i in children(c)][:1] == ["Assembler"])
    key("Tab")
    wait_for(lambda: focused(lst), "the list's focus")
    key("Right")
    def focused_cell():
        return next((c.name for c in children(grid)
                     if c.getState().contains(pyatspi.STATE_FOCUSED)), None)

    wait_for(focused_cell, "a focused cell")
    check(focused_cell() == "White", "the focus is on %r, not the selected cell" % focused_cell())
    walked = []

    def walk():
        for _ in range(16):
            key("Right")
            walked.append(focused_cell())

    heard = listen(["object:state-changed:focused"], walk)
    check(walked == COLOURS, "Right walked %r" % walked)
    # A screen reader hears each move: the cell that takes the focus says so.
    told = [name for kind, role, name, on in heard if role == "list item" and on == 1]
    check(told == COLOURS, "focus events of the walk: %r" % told)
    key("Down")
    check(focused_cell() == "Black", "Down from White did not wrap to Black")
    key("Down")
    check(focused_cell() == "Navy", "Down from Black did not reach Navy")
    key("f")
    check(find(grid, "list item", "Navy").description == "VG", "F did not pick Navy")
    do(find(dialog, "push button", "Cancel"), "press")
    gone(app, "Setup")


# ---- the about box ----

def check_about(app, bar):
    do(find(bar, "push button", "About"), "press")
    box = window(app, "dialog", "About")
    dump(box, "about box")
    links = find_all(box, "link")
    check(len(links) == 2, "about box links: %r" % [l.name for l in links])
    check(links[0].description.startswith("mailto:"), "the mail link leads nowhere")
    check(links[1].description.startswith("http://"), "the web link leads nowhere")
    for link in links:
        check("press" in [a.lower() for a in actions(link)], link.name + " has no press")
    check(len(find_all(box, "label")) >= 4, "the about box's texts are not labels")
    do(find(box, "push button", "OK"), "press")
    gone(app, "About")


def main():
    app = application()
    frame, bar = check_main(app)
    check_status_announced(frame, sys.argv[2])
    check_caption(app, frame)
    check_commands(app, frame, bar)
    check_setup(app, bar)
    check_about(app, bar)
    check_keyboard(frame)
    print("a11y: every check passed")


main()
