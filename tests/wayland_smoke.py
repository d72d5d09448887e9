"""Drives the real Zentavo on Wayland through AT-SPI; run by wayland_smoke.sh
    wayland_smoke.py WORK_FOLDER PID"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from atspi import answer, application, find, press, wait  # noqa: E402
from coredump import passwords_left  # noqa: E402

work, pid = sys.argv[1], int(sys.argv[2])


def clipboard(*arguments):
    return subprocess.run(["wl-paste", *arguments], capture_output=True, text=True, timeout=60).stdout


main = wait("the main window", lambda: find(application(), "frame", "Zentavo"))
press(main, "Start Generating")
answer("Done.")

saved = os.path.join(work, "passwords.txt")
press(main, "Save Results As Text File")
dialog = wait("the save dialog", lambda: find(application(), "dialog", "Save"))
wait("the file name field", lambda: find(dialog, "text", "File name")).queryEditableText().setTextContents(saved)
press(dialog, "Save")
wait("the text file", lambda: os.path.exists(saved) and os.path.getsize(saved) > 0)
known = [line.split("\t")[1].strip() for line in open(saved, newline="").read().splitlines()[1:]]
if len(set(known)) != 50 or any(len(p) != 20 for p in known):
    sys.exit(f"expected 50 passwords of 20 characters, read {known}")

press(main, "Copy Results To Clipboard")
wait("the passwords on the clipboard", lambda: all(p in clipboard() for p in known))
if "x-kde-passwordManagerHint" not in clipboard("--list-types"):
    sys.exit("the clipboard's copy carries no secret mark: " + clipboard("--list-types"))
answer("Results have been copied")

# Once the list is cleared and another program owns the clipboard, the
# program wipes what it held as it handles those events: on a busy machine
# that can take a while, so a dump that still holds too many is taken again.
press(main, "Clear Results")
subprocess.run(["wl-copy", "someone else"], check=True, timeout=60)
wait("the clipboard to change hands", lambda: clipboard() == "someone else\n")
for attempt in range(1, 6):
    utf16, utf8, either = passwords_left(known, pid)
    print(f"after attempt {attempt}: {utf16} in UTF-16, {utf8} in UTF-8, {either} of {len(known)} in all")
    if either <= 2:
        sys.exit(0)
    time.sleep(attempt)
sys.exit("more than 2 of the passwords are still in memory")
