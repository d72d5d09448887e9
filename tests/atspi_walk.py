"""Walks Zentavo's accessibility tree as a screen reader does and checks what
each control is called. Run by atspi_names.sh on a private bus."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from atspi import answer, application, find, press, wait  # noqa: E402

# (role, name, described): every control a person works with, by what it is
# announced as; `described` when it must also say what it does.
EXPECTED = [
    ("frame", "Zentavo", False),
    ("check box", "a - z", True),
    ("check box", "A - Z", True),
    ("check box", "0 - 9", True),
    ("check box", "Your specified characters", True),
    ("text", "Your own characters", True),
    ("check box", "Generate at least 1 character from a - z, A - Z, 0 - 9,  Your specified characters", True),
    ("check box", "Show line numbers", True),
    ("check box", "Make last character a digit", True),
    ("check box", "Include space character", True),
    ("check box", "Remove vowels", True),
    ("text", "Number of passwords", True),
    ("text", "Password length", True),
    ("push button", "Start Generating", False),
    ("table", "Results", False),
    ("push button", "Save Results As Text File", False),
    ("push button", "Save Results As Excel File", False),
    ("push button", "Copy Results To Clipboard", False),
    ("push button", "Clear Results", False),
    ("progress bar", "Progress", False),
]


def walk(node, found):
    role = node.getRoleName()
    found.append((role, node.name, node.description))
    if role == "table":  # its rows are passwords, not controls
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, found)


def main():
    app = wait("Zentavo on the accessibility bus", application, timeout=20)
    time.sleep(0.5)
    found = []
    walk(app, found)
    for role, name, description in found:
        print(f"{role:14} {name!r:60} {description!r}")
    failures = []
    for role, name, described in EXPECTED:
        matches = [f for f in found if f[0] == role and f[1] == name]
        if not matches:
            failures.append(f"no {role} called {name!r}")
        elif described and not matches[0][2]:
            failures.append(f"the {role} {name!r} has no description")
    unnamed = [f[0] for f in found if f[0] in ("text", "table", "progress bar", "push button", "check box")
               and not f[1].strip()]
    if unnamed:
        failures.append(f"controls without a name: {unnamed}")
    failures += list_of_every_row(app)
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


def list_of_every_row(app):
    """The results table counts every row of the list, however few the
    view shows, and its last row can be read."""
    main = find(app, "frame", "Zentavo")
    count = find(main, "text", "Number of passwords").queryEditableText()
    table = find(main, "table", "Results")
    failures = []
    for rows in (50, 10_000_000):
        press(main, "Clear Results")
        count.setTextContents(str(rows))
        press(main, "Start Generating")
        answer("Done.")
        shown = table.queryTable()
        last = [shown.getAccessibleAt(shown.nRows - 1, column) for column in range(shown.nColumns)]
        print(f"{rows} rows: nRows {shown.nRows}, the last row's cells {[cell.name for cell in last]}")
        if shown.nRows != rows or last[0].name != str(rows) or not last[-1].name:
            failures.append(f"after {rows} rows the table has {shown.nRows}, its last row {[c.name for c in last]}")
    return failures


main()
