#!/usr/bin/env python3
"""After every dialog and every run started by a key, the main window is active
again and the next keys act on the pane the user sees focused (under openbox)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402

THREE = {"a.txt": "a", "b.txt": "bb", "c.txt": "ccc"}


def on_d(desktop, build_dir, programs, files=THREE):
    p = launch(desktop, build_dir, programs, drives={"d": dict(files)})
    p.log_drive("d")
    return p


def delete_key_then_more_keys(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs)
    p.keys("Tab")
    p.wait_pane("FileList")
    p.keys("d")
    wait_for(lambda: not p.exists("d:\\a.txt"), "a.txt to be deleted")
    p.wait_main("FileList")
    # The list goes on: b.txt is current, Down makes c.txt current and T tags it.
    p.keys("Down", "t")
    p.wait_panel("Tagged files : 1")
    p.wait_panel("File : c.txt")
    # Return gives the tree the keyboard, and the menu bar follows.
    p.keys("Return")
    p.wait_pane("DirList")
    p.keys("d")
    p.wait_active("Error")
    p.keys("Return")
    p.wait_main("DirList")
    check(p.listing("d") == ["b.txt", "c.txt"], f"files left: {p.listing('d')}")


def rename_key_then_more_keys(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs)
    p.keys("Tab", "r")
    p.wait_active("Rename file")
    p.type_text("first.txt")
    p.keys("Return")
    wait_for(lambda: p.exists("d:\\first.txt") and not p.exists("d:\\a.txt"), "a.txt renamed to first.txt")
    p.wait_main("FileList")
    # A second rename from the keyboard: the list still takes the keys.
    p.keys("Down", "r")
    p.wait_active("Rename file")
    p.type_text("second.txt")
    p.keys("Return")
    wait_for(lambda: p.exists("d:\\second.txt"), "a second rename")
    p.wait_main("FileList")
    p.keys("t")
    p.wait_panel("Tagged files : 1")


def copy_through_dialog_then_more_keys(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs, files=dict(THREE, sub=None))
    # The root opened shows its files beside its folder.
    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    for round, name in enumerate(("a.txt", "b.txt", "c.txt")):
        p.keys("c")
        p.wait_active("Copy file")
        # The name as it is, Return to the destination, the folder, Return.
        p.keys("Return")
        p.type_text("d:\\sub")
        p.keys("Return")
        wait_for(lambda: p.exists("d:\\sub\\" + name), f"{name} copied into sub")
        p.wait_main("FileList")
        p.keys("Down")
        if round < 2:
            p.wait_panel("File : " + ("b.txt", "c.txt")[round])
    check(open(p.host("d:\\sub\\c.txt")).read() == "ccc", "the copy holds the file's bytes")


def tagged_delete_asking_each_file(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs)
    p.keys("Tab", "ctrl+t")
    p.wait_panel("Tagged files : 3")
    p.keys("ctrl+d")
    p.wait_active("Deleting files...")
    p.keys("y")              # confirm each file
    p.keys("y", "n", "y")    # a.txt yes, b.txt no, c.txt yes
    wait_for(lambda: p.listing("d") == ["b.txt"], f"only b.txt left (left: {p.listing('d')})")
    p.wait_main("FileList")
    p.keys("u")
    p.wait_panel("Tagged files : 0")
    p.keys("Return")
    p.wait_pane("DirList")


def tagged_delete_without_questions(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs, files=dict(THREE, **{"d.txt": "dddd"}))
    p.keys("Tab", "Down", "space", "Down", "space")
    p.wait_panel("Tagged files : 2")
    p.keys("ctrl+d")
    p.wait_active("Deleting files...")
    p.keys("n")
    wait_for(lambda: p.listing("d") == ["a.txt", "d.txt"], f"b.txt and c.txt deleted (left: {p.listing('d')})")
    p.wait_main("FileList")
    p.keys("t")
    p.wait_panel("Tagged files : 1")


def make_folder_then_more_keys(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs)
    p.keys("m")
    p.wait_active("Make folder")
    p.type_text("new")
    p.keys("Return")
    wait_for(lambda: os.path.isdir(p.host("d:\\new")), "the folder new to be made")
    p.wait_main("DirList")
    # The new folder is part of the logged picture: deleting it asks at once.
    p.keys("Right", "Down")
    p.wait_panel("Matching files : 0")
    p.keys("d")
    p.wait_active("Delete folder")
    p.keys("y")
    wait_for(lambda: not os.path.exists(p.host("d:\\new")), "the folder new to be deleted")
    p.wait_main("DirList")


def file_pattern_then_more_keys(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs, files=dict(THREE, **{"song.mp3": "m", "z.doc": "z"}))
    p.keys("Tab")
    p.wait_pane("FileList")
    p.keys("f")
    p.wait_active("File specification")
    p.type_text("*.txt *.mp3")
    p.keys("Return")
    p.wait_main("FileList")
    p.wait_panel("Matching files : 4")
    p.keys("End", "t")
    p.wait_panel("Tagged files : 1")
    p.wait_panel("File : song.mp3")


def about_gives_the_focus_back(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs)
    p.keys("Tab")
    p.wait_pane("FileList")
    p.keys("alt+h", "a")
    p.wait_active("About Disk Rorediva 1.0")
    p.keys("Escape")
    # The list had the keyboard before, so it has it again, with its menu.
    p.wait_main("FileList")
    p.keys("Down")
    p.wait_panel("File : b.txt")
    p.keys("t")
    p.wait_panel("Tagged files : 1")


def log_drive_dialog_then_more_keys(desktop, build_dir, programs):
    p = on_d(desktop, build_dir, programs, files=dict(THREE, sub=None))
    p.keys("l")
    p.wait_active("Log drive")
    p.keys("Escape")
    p.wait_main("DirList")
    # Another drive logged from the dialog, then straight on with keys.
    p.add_drive("e", {"x.txt": "x"})
    p.log_drive("c")
    p.keys("l")
    p.wait_active("Log drive")
    p.keys("d")
    wait_for(lambda: (p.active_window() or "").endswith("[Tree structure of d:]"), "d: brought forward")
    p.wait_pane("DirList")
    p.keys("Right", "Tab", "t")
    p.wait_pane("FileList")
    p.wait_panel("Tagged files : 1")


if __name__ == "__main__":
    run_scenes([delete_key_then_more_keys, rename_key_then_more_keys, copy_through_dialog_then_more_keys,
                tagged_delete_asking_each_file, tagged_delete_without_questions, make_folder_then_more_keys,
                file_pattern_then_more_keys, about_gives_the_focus_back, log_drive_dialog_then_more_keys])
