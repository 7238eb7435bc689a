#!/usr/bin/env python3
"""A folder of 10,000 files, as a new user meets it under openbox: a fresh setup
lists them all, a tagged copy of them shows its progress moving, Esc stops it,
and the panels tell the truth afterwards."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402

FILES = 10000


def progress_bar(p, caption):
    """The progress bar of the window of that caption, or None. Found once: a
    walk of the window takes longer than the copy of many small files, while
    reading the bar's value is one question."""
    S = p.pyatspi
    window = p.window(caption)
    return p._find(window, lambda n: n.getRole() == S.ROLE_PROGRESS_BAR, limit=4) if window else None


def copy_of_ten_thousand_tagged_files_stopped_by_esc(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": {}, "e": {}})
    many = os.path.join(p.drives["d"], "many")
    os.makedirs(many)
    for i in range(FILES):
        with open(os.path.join(many, f"f{i:05d}.dat"), "wb") as f:
            f.write(b"q" * 4096)
    # Two of the names are taken on e: (by other bytes): with automatic
    # overwrite off, the copy asks at each and holds there, so its bar is read
    # while it stands still; a copy of small files is over before the bar of a
    # running one can be found.
    for held in ("f03000.dat", "f06000.dat"):
        with open(os.path.join(p.drives["e"], held), "wb") as f:
            f.write(b"older")
    p.log_drive("d")
    p.keys("Right", "Down", "Return")  # the root opens; Return logs d:\many
    p.wait_panel("Matching files : 10000")
    p.keys("Tab", "ctrl+t")
    p.wait_panel("Tagged files : 10000")
    p.keys("ctrl+c")
    p.wait_active("Copy all tagged files")
    p.keys("Return")         # the mask as it is; the destination next
    p.type_text("e:\\")
    p.keys("Return")
    p.wait_active("Warning", timeout=30)
    bar = wait_for(lambda: progress_bar(p, "Copying file(s)..."), "the progress bar", timeout=30)
    first = bar.queryValue().currentValue
    p.keys("Escape")         # No: f03000.dat stays as it was, the copy goes on
    p.wait_active("Warning", timeout=30)
    later = bar.queryValue().currentValue
    check(3000 <= first < later, f"the bar moved file by file: {first}, then {later}")
    p.keys("Escape", "Escape")   # No again, then Esc stops the copy
    p.wait_main("FileList")
    copied = len(os.listdir(p.drives["e"]))
    check(later <= copied < FILES, f"Esc stopped the copy: {copied} files copied, the bar was at {later}")
    with open(os.path.join(p.drives["e"], "f03000.dat"), "rb") as f:
        check(f.read() == b"older", "a file the user would not overwrite kept its bytes")
    time.sleep(1)
    check(len(os.listdir(p.drives["e"])) == copied, "nothing is copied after the stop")
    # The source's panels still count every file and every tag.
    p.wait_panel("Matching files : 10000")
    p.wait_panel("Tagged files : 10000")
    # The destination's window lists what is on its disk.
    p.log_drive("e")
    p.keys("Tab")
    p.wait_panel(f"Matching files : {copied}")


if __name__ == "__main__":
    run_scenes([copy_of_ten_thousand_tagged_files_stopped_by_esc])
