#!/usr/bin/env python3
"""Dialogs open at the centre of the screen from their first showing, with the
window manager's frame around them; closing them gives the keyboard back."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402

SCREEN = (1280, 1024)
# The window manager's frame puts the dialog's own area a title bar lower than
# the frame's centre; anything off by more was placed by a wrong size.
TOLERANCE_X, TOLERANCE_Y = 8, 24


def check_centred(p, name):
    extents = wait_for(lambda: p.window_extents(name), f"the extents of {name}")
    x, y, w, h = extents
    dx, dy = x + w / 2 - SCREEN[0] / 2, y + h / 2 - SCREEN[1] / 2
    check(abs(dx) <= TOLERANCE_X and abs(dy) <= TOLERANCE_Y,
          f'"{name}" at {extents} is off the centre by ({dx:.0f}, {dy:.0f})')


def every_dialog_centred_at_its_first_showing(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": {"a.txt": "a"}})
    for keys, name, close in ((["l"], "Log drive", "Escape"),
                              (["a"], "Available space", "Escape"),
                              (["KP_Divide"], "Drive info", "Return"),
                              (["f"], "File specification", "Escape"),
                              (["alt+d", "m"], "Map drives", "Escape"),
                              (["alt+h", "a"], "About Disk Rorediva 1.0", "Escape")):
        p.keys(*keys)
        p.wait_active(name)
        check_centred(p, name)
        p.keys(close)
        p.wait_main("DirList")


if __name__ == "__main__":
    run_scenes([every_dialog_centred_at_its_first_showing])
