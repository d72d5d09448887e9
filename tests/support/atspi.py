"""Zentavo as a screen reader sees it, through AT-SPI: for the tests that
read or drive the real program from outside."""

import sys
import time

import pyatspi


def wait(what, probe, timeout=180):
    """probe's first true answer; generous, as a busy machine slows every step."""
    deadline = time.time() + timeout
    while True:
        found = probe()
        if found:
            return found
        if time.time() > deadline:
            sys.exit(f"timed out waiting for {what}")
        time.sleep(0.2)


def application():
    """The running Zentavo once it shows a window, else None."""
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name.lower() == "zentavo" and app.childCount > 0:
            return app
    return None


def find(node, role, name=None):
    """The first node of that role (and name) below node; the results
    table's rows, which are passwords, are not looked at."""
    if node is None:
        return None
    if node.getRoleName() == role and (name is None or node.name.startswith(name)):
        return node
    if node.getRoleName() == "table":
        return None
    for i in range(node.childCount):
        hit = find(node.getChildAtIndex(i), role, name)
        if hit is not None:
            return hit
    return None


def window_saying(text):
    """The box (a top-level window, not the main one) that shows text."""
    app = application()
    for i in range(app.childCount if app else 0):
        window = app.getChildAtIndex(i)
        if window is not None and window.getRoleName() != "frame" and find(window, "label", text) is not None:
            return window
    return None


def press(window, button):
    wait(f'the button "{button}"', lambda: find(window, "push button", button)).queryAction().doAction(0)


def answer(text):
    press(wait(f'the box "{text}"', lambda: window_saying(text)), "OK")
    wait(f'the box "{text}" to close', lambda: window_saying(text) is None)
