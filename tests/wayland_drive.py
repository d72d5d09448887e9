"""Drives the real Zentavo through AT-SPI, as assistive technology would, in
a Wayland session where nothing else can inject input: generate, save as a
text file, copy (checking what other programs are offered), clear, let
another program take the clipboard. Run by e2e_wayland.sh on a private bus;
writes the passwords it saw to WORK/known.
    wayland_drive.py WORK"""

import os
import subprocess
import sys
import time

import pyatspi

work = sys.argv[1]


def until(what, probe, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    sys.exit(f"FAIL: {what}")


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name.lower() == "zentavo" and app.childCount > 0:
            return app
    return None


def find(node, role, name=None):
    if node is None:
        return None
    if node.getRoleName() == role and (name is None or node.name == name):
        return node
    if node.getRoleName() == "table":
        return None
    for i in range(node.childCount):
        hit = find(node.getChildAtIndex(i), role, name)
        if hit:
            return hit
    return None


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount)]


def press(button):
    button.queryAction().doAction(0)


def answer_box(app, what):
    """Presses OK on the one message box up, and says what it said."""
    box = until(f"a message box: {what}", lambda: next(
        (w for w in windows(app) if w.name == "Zentavo" and find(w, "push button", "OK")), None))
    said = [find(box, "label").name if find(box, "label") else ""]
    press(find(box, "push button", "OK"))
    until(f"the box goes: {what}", lambda: box not in windows(app) or not
          box.getState().contains(pyatspi.STATE_SHOWING))
    return said


def wl(*command):
    return subprocess.run(command, capture_output=True, timeout=30).stdout


def main():
    app = until("Zentavo on the accessibility bus", application)
    main_window = until("the main window", lambda: find(app, "frame", "Zentavo"))
    press(until("Start Generating", lambda: find(main_window, "push button", "Start Generating")))
    answer_box(app, '"Done."')

    table = find(main_window, "table", "Results")
    until("50 rows in the list", lambda: table.queryTable().nRows == 50)

    # Save Results As Text File: Qt's own save dialog, the name typed in.
    target = os.path.join(work, "passwords.txt")
    press(find(main_window, "push button", "Save Results As Text File"))
    dialog = until("the save dialog", lambda: next((w for w in windows(app) if w.name == "Save"), None))
    name = until("the file name field", lambda: find(dialog, "text") or find(dialog, "editable combo box"))
    if name.getRoleName() != "text":
        name = find(name, "text")
    name.queryEditableText().setTextContents(target)
    press(until("the Save button", lambda: find(dialog, "push button", "Save")))
    until("the text file", lambda: os.path.exists(target) and os.path.getsize(target) > 0)
    time.sleep(1)  # written in one go, moved into place when complete
    lines = open(target, encoding="utf-8", newline="").read().split("\r\n")
    known = [line.split("\t")[1].strip() for line in lines[1:] if line]
    if len(set(known)) != 50 or any(len(p) != 20 for p in known):
        sys.exit(f"FAIL: the text file holds other passwords than 50 of 20 characters: {known[:3]}...")
    with open(os.path.join(work, "known"), "w") as out:
        out.write("\n".join(known) + "\n")

    # Copy Results To Clipboard: what another program is offered meanwhile.
    press(find(main_window, "push button", "Copy Results To Clipboard"))
    until("the clipboard holds the list", lambda: wl("wl-paste", "--no-newline").count(b"\r\n") == 50)
    types = wl("wl-paste", "--list-types").decode().split()
    pasted = wl("wl-paste", "--no-newline").decode()
    answer_box(app, "the copy's confirmation")
    if "x-kde-passwordManagerHint" not in types:
        sys.exit(f"FAIL: the clipboard text is not marked secret; offered: {types}")
    if wl("wl-paste", "--type", "x-kde-passwordManagerHint") != b"secret":
        sys.exit("FAIL: the secret mark does not say secret")
    if [line.split("\t")[1] for line in pasted.split("\r\n") if line] != known:
        sys.exit("FAIL: the clipboard holds other passwords than the file")

    # Done with them: the list cleared, the clipboard taken by another program.
    press(find(main_window, "push button", "Clear Results"))
    until("the list is empty", lambda: table.queryTable().nRows == 0)
    subprocess.run(["wl-copy", "someone else"], check=True, timeout=30)
    until("the clipboard changes hands", lambda: wl("wl-paste", "--no-newline") == b"someone else")
    time.sleep(1)
    print("generated, saved, copied with the secret mark, cleared; the clipboard taken over")


main()
