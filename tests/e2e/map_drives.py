#!/usr/bin/env python3
"""Map drives, by keys only under openbox: a folder becomes e:, is logged at once,
and the letter goes again after its window is closed; the folder stays as it was."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402


def open_map_drives(p):
    p.keys("alt+d", "m")
    p.wait_active("Map drives")


def a_folder_becomes_e_and_goes_again(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs)
    music = os.path.join(p.root, "music")
    os.makedirs(music)
    with open(os.path.join(music, "song.txt"), "w") as f:
        f.write("la")
    link = os.path.join(p.prefix, "dosdevices", "e:")
    check(os.readlink(os.path.join(p.prefix, "dosdevices", "h:")) == p.home, "setup maps the home folder as h:")

    open_map_drives(p)
    p.keys("e", "alt+f")
    p.type_text(music)
    p.keys("Return")
    wait_for(lambda: os.path.islink(link) and os.readlink(link) == music, "e: to lead to the folder")
    p.keys("alt+l")
    p.wait_drive_window("e")
    p.keys("Tab")
    p.wait_pane("FileList")
    p.wait_panel("Matching files : 1")

    open_map_drives(p)
    p.keys("e", "alt+r")
    p.wait_active("Question")
    p.keys("y")
    wait_for(lambda: not os.path.lexists(link), "the link of e: to go")
    p.wait_active("Map drives")
    p.keys("Escape")
    p.wait_main("DirList")
    check("e:" not in (p.main_window().name or ""), f"a window of e: is left: {p.main_window().name}")
    check(os.listdir(music) == ["song.txt"], f"the folder changed: {os.listdir(music)}")


if __name__ == "__main__":
    run_scenes([a_folder_becomes_e_and_goes_again])
