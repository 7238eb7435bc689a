#!/usr/bin/env python3
"""Without a window manager nobody hands the keyboard back after a run: the
program does, and the pane that takes the keys is the pane commands act on."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402


def delete_then_return_never_deletes_unasked(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, log="d", drives={"d": {"a.txt": "a", "b.txt": "bb", "c.txt": "ccc"}})
    p.keys("Tab", "d")
    wait_for(lambda: not p.exists("d:\\a.txt"), "a.txt to be deleted")
    p.wait_main("FileList")
    p.keys("Return")
    p.wait_pane("DirList")
    # D in the tree is the folder command: the root is refused, no file goes.
    p.keys("d")
    p.wait_active("Error")
    check(p.exists("d:\\b.txt"), "b.txt was deleted without a question")
    p.keys("Return")
    p.wait_main("DirList")
    # T in the tree tags the folder's files.
    p.keys("t")
    p.wait_panel("Tagged files : 2")
    # G builds the global list, which takes the keyboard; Esc leaves it.
    p.keys("g")
    p.wait_focus("FileList")
    p.keys("Escape")
    p.wait_pane("DirList")
    check(p.listing("d") == ["b.txt", "c.txt"], f"files left: {p.listing('d')}")


if __name__ == "__main__":
    run_scenes([delete_then_return_never_deletes_unasked], window_manager=False)
