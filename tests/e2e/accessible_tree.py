#!/usr/bin/python3
"""Lists what a screen reader sees of a running program, through AT-SPI.

    accessible_tree.py APPLICATION [--press NAME] [--wait-for NAME] [--timeout SECONDS]

Waits until the application named APPLICATION is on the accessibility bus and
a node named --wait-for (if given) is in its tree, then prints its tree, one
node a line: the depth as leading spaces, then role, name and the states
showing, focusable and sensitive, separated by tabs. With --press, it then
presses the push button of that name (its first action) and prints nothing
more. Exits with 1 when the application or the node does not appear in time.
Called with no application, it only wakes the accessibility bus up.
"""

import argparse
import sys
import time

import pyatspi

STATES = (("showing", pyatspi.STATE_SHOWING), ("focusable", pyatspi.STATE_FOCUSABLE),
          ("sensitive", pyatspi.STATE_SENSITIVE))


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def walk(node, depth, lines, found):
    try:
        role, name, states = node.getRoleName(), node.name, node.getState()
        count = node.childCount
    except Exception:  # a node that went away while it was read
        return
    shown = ",".join(word for word, state in STATES if states.contains(state))
    lines.append("%s%s\t%s\t%s" % (" " * depth, role, name, shown))
    found.append(node)
    for i in range(count):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, lines, found)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("application", nargs="?")
    parser.add_argument("--press")
    parser.add_argument("--wait-for")
    parser.add_argument("--timeout", type=float, default=20)
    args = parser.parse_args()
    sys.stdout.reconfigure(encoding="utf-8")
    pyatspi.Registry.getDesktop(0)
    if not args.application:
        return 0
    deadline = time.monotonic() + args.timeout
    while True:
        app = application(args.application)
        lines, found = [], []
        if app is not None:
            walk(app, 0, lines, found)
        names = [node.name for node in found]
        if app is not None and (not args.wait_for or args.wait_for in names):
            break
        if time.monotonic() > deadline:
            print("not found: %s" % (args.wait_for or args.application), file=sys.stderr)
            print("\n".join(lines), file=sys.stderr)
            return 1
        time.sleep(0.2)
    if args.press:
        for node in found:
            if node.name == args.press and node.getRoleName() == "push button":
                node.queryAction().doAction(0)
                return 0
        print("no push button %s" % args.press, file=sys.stderr)
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
