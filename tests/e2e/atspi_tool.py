"""Reads the tool's windows over the desktop accessibility bus.

  atspi_tool.py text NAME      prints the text of the first control named NAME
  atspi_tool.py unnamed        lists visible controls that have no name
  atspi_tool.py dump           prints every window's tree
Exits 1 when the application or the control is not found.
"""
import sys
import warnings

import gi

warnings.simplefilter("ignore", DeprecationWarning)
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

APP = "VELMORA-QUORIX"
# Roles a screen reader speaks by name; fillers and panels only group.
NAMED_ROLES = {"push button", "check box", "text", "label", "password text", "toggle button"}


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


def visible(node):
    states = node.get_state_set()
    return states.contains(Atspi.StateType.SHOWING)


def main(argv):
    app = application()
    if app is None:
        print("application not on the accessibility bus", file=sys.stderr)
        return 1
    if argv[1] == "text":
        for node, _ in walk(app):
            if node.get_name() == argv[2]:
                print(text_of(node) or "")
                return 0
        return 1
    if argv[1] == "unnamed":
        missing = 0
        for node, _ in walk(app):
            if node.get_role_name() in NAMED_ROLES and visible(node) and not node.get_name():
                parent = node.get_parent()
                print(f"{node.get_role_name()} in {parent.get_name() if parent else '?'}")
                missing += 1
        return 0 if missing == 0 else 1
    for node, depth in walk(app):
        print("  " * depth + f"{node.get_role_name()}: {node.get_name()!r} {text_of(node)!r}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
