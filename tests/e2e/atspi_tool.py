"""Reads the tool's windows over the desktop accessibility bus, the way a
screen reader does.

  atspi_tool.py text NAME          prints the text of the first control named NAME
  atspi_tool.py unnamed TITLE      lists the visible controls of the shown window
                                   whose name matches the regular expression
                                   TITLE that have no name; fails if that window
                                   is not shown or holds no control to check
  atspi_tool.py focused            prints the name of the control with the focus
  atspi_tool.py contains WORDS     succeeds if any name, description or text of
                                   the application contains WORDS
  atspi_tool.py dump               prints every window's tree
Exits 1 when the application, the window or the control is not found.
"""
import re
import sys
import warnings

import gi

warnings.simplefilter("ignore", DeprecationWarning)
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

APP = "VELMORA-QUORIX"
# Roles a screen reader speaks by name; fillers and panels only group.
NAMED_ROLES = {
    "push button",
    "toggle button",
    "check box",
    "radio button",
    "combo box",
    "spin button",
    "text",
    "password text",
    "label",
    "image",
}


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == APP:
            return app
    return None


def walk(node, depth=0):
    if node is None:
        return
    yield node, depth
    for i in range(node.get_child_count()):
        yield from walk(node.get_child_at_index(i), depth + 1)


def text_of(node):
    iface = node.get_text_iface()
    if iface is None:
        return None
    return Atspi.Text.get_text(iface, 0, Atspi.Text.get_character_count(iface))


def has_state(node, state):
    return node.get_state_set().contains(state)


def shown_windows(app):
    for i in range(app.get_child_count()):
        window = app.get_child_at_index(i)
        if window is not None and has_state(window, Atspi.StateType.SHOWING):
            yield window


def unnamed(app, title):
    windows = [w for w in shown_windows(app) if re.fullmatch(title, w.get_name() or "")]
    if not windows:
        print(f"no shown window is titled {title!r}", file=sys.stderr)
        return 1
    checked = missing = 0
    for node, _ in walk(windows[0]):
        if node.get_role_name() not in NAMED_ROLES or not has_state(node, Atspi.StateType.SHOWING):
            continue
        checked += 1
        if not (node.get_name() or "").strip():
            parent = node.get_parent()
            print(f"unnamed {node.get_role_name()} in {parent.get_name() if parent else '?'}")
            missing += 1
    print(f"{checked} controls checked in {windows[0].get_name()!r}", file=sys.stderr)
    return 0 if checked and not missing else 1


def focused(app):
    for window in shown_windows(app):
        for node, depth in walk(window):
            if depth > 0 and has_state(node, Atspi.StateType.FOCUSED):
                print(node.get_name() or "")
                return 0
    return 1


def contains(app, words):
    for node, _ in walk(app):
        said = [node.get_name() or "", node.get_description() or "", text_of(node) or ""]
        if any(words in s for s in said):
            print(f"{node.get_role_name()} {node.get_name()!r}")
            return 0
    return 1


def main(argv):
    app = application()
    if app is None:
        print("application not on the accessibility bus", file=sys.stderr)
        return 1
    command = argv[1] if len(argv) > 1 else "dump"
    if command == "text":
        for node, _ in walk(app):
            if node.get_name() == argv[2]:
                print(text_of(node) or "")
                return 0
        return 1
    if command == "unnamed":
        return unnamed(app, argv[2] if len(argv) > 2 else ".*")
    if command == "focused":
        return focused(app)
    if command == "contains":
        return contains(app, argv[2])
    for node, depth in walk(app):
        print("  " * depth + f"{node.get_role_name()}: {node.get_name()!r} {text_of(node)!r}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
