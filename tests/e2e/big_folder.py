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


def progress_of(p, caption):
    """The value of the progress bar in the window of that caption, or None."""
    S = p.pyatspi
    window = p.window(caption)
    bar = p._find(window, lambda n: n.getRole() == S.ROLE_PROGRESS_BAR, limit=4) if window else None
    return bar.queryValue().currentValue if bar is not None else None


def copy_of_ten_thousand_tagged_files_stopped_by_esc(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": {}, "e": {}})
    many = os.path.join(p.drives["d"], "many")
    os.makedirs(many)
    for i in range(FILES):
        with open(os.path.join(many, f"f{i:05d}.dat"), "wb") as f:
            f.write(b"q" * 4096)
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
    p.wait_active("Copying file(s)...")
    first = wait_for(lambda: progress_of(p, "Copying file(s)..."), "the progress bar to start", timeout=30)
    later = wait_for(lambda: (v := progress_of(p, "Copying file(s)...")) and v > first and v,
                     f"the progress bar to move on from {first}", timeout=30)
    p.keys("Escape")
    p.wait_main("FileList")
    copied = len(os.listdir(p.drives["e"]))
    check(later <= copied < FILES, f"Esc stopped the copy: {copied} files copied, the bar was at {later}")
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
