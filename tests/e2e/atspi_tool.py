"""Reads the tool on the accessibility bus, as a screen reader does.
  text NAME VALUE  waits until the control named NAME shows VALUE
  focused NAME     waits until the focused control is named NAME
  press NAME       presses the shown button named NAME, as a screen reader's user does
  unnamed TITLE    fails unless the shown window TITLE (a regular expression)
                   has visible controls, all of them named
  absent WORDS     fails unless the tool is on the bus and none of its windows
                   holds WORDS in a name, description or text"""
import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# Roles by number: their names change between releases ("push button", "button").
R = Atspi.Role
SPOKEN = {R.PUSH_BUTTON, R.TOGGLE_BUTTON, R.CHECK_BOX, R.TEXT, R.PASSWORD_TEXT, R.LABEL, R.IMAGE}


def children(node):
    return [c for c in map(node.get_child_at_index, range(node.get_child_count())) if c]


def walk(node):
    return [node] + [n for child in children(node) for n in walk(child)]


def windows(hidden=False):
    for app in children(Atspi.get_desktop(0)):
        if app.get_name() == "VELMORA-QUORIX":
            app.clear_cache()  # each poll reads the controls as they are now
            return [w for w in children(app) if hidden or has(w, Atspi.StateType.SHOWING)]
    return []


def has(node, state):
    return node.get_state_set().contains(state)


def text(node):
    return Atspi.Text.get_text(node, 0, -1) if "Text" in node.get_interfaces() else ""


def read(what, name):
    for node in (n for w in windows() for n in walk(w) if n != w):
        if what == "text" and node.get_name() == name:
            return text(node)
        if what == "focused" and has(node, Atspi.StateType.FOCUSED):
            return node.get_name()


def main(what, name, want=None):
    if what == "unnamed":
        shown = [w for w in windows() if re.fullmatch(name, w.get_name())][:1]
        spoken = [n for w in shown for n in walk(w)
                  if n.get_role() in SPOKEN and has(n, Atspi.StateType.SHOWING)]
        for n in (n for n in spoken if not n.get_name().strip()):
            sys.exit(f"{n.get_role_name()} without a name in {n.get_parent().get_name()!r}")
        return 0 if spoken else f"no window {name!r} with controls"
    if what == "press":
        buttons = [n for w in windows() for n in walk(w)
                   if n.get_role() == R.PUSH_BUTTON and n.get_name() == name]
        return 0 if buttons and buttons[0].do_action(0) else f"no button {name!r} to press"
    if what == "absent":
        every = [n for w in windows(hidden=True) for n in walk(w)]
        return int(not every or any(name in n.get_name() + n.get_description() + text(n)
                                    for n in every))
    end = time.monotonic() + 30  # generous: CI machines run loaded
    while (seen := read(what, name)) != (want or name):
        if time.monotonic() > end:
            return f"{what} {name!r} reads {seen!r}"
        time.sleep(0.1)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
