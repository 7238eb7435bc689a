#!/usr/bin/env python3
"""After every dialog and every run started by a key, the main window is active
again and the next keys act on the pane the user sees focused (under openbox)."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402

THREE = {"a.txt": "a", "b.txt": "bb", "c.txt": "ccc"}


def on_d(desktop, build_dir, programs, files=THREE):
    return launch(desktop, build_dir, programs, log="d", drives={"d": dict(files)})


def about_and_delete_key_then_more_keys(desktop, build_dir, programs):
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
    p.keys("Up")
    p.wait_panel("File : a.txt")
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


def delete_to_the_trash_then_restore(desktop, build_dir, programs):
    """D puts a read-only hidden file into the desktop's trash; restored from there as a file
    manager does it (trash-cli, which reads the trash on its own), it is the same file."""
    data = bytes(range(256)) * 40
    show_hidden = (lambda t: t.replace(b"Show system and hidden files=False", b"Show system and hidden files=True"))
    p = launch(desktop, build_dir, programs, drives={"d": {"a.txt": data, "b.txt": "b"}}, ini_edit=show_hidden)
    host = p.host("d:\\a.txt")
    os.setxattr(host, "user.DOSATTRIB", b"0x22")
    os.chmod(host, 0o444)
    before = (os.stat(host).st_mode, os.getxattr(host, "user.DOSATTRIB"))
    p.log_drive("d")
    p.keys("Tab")
    p.wait_pane("FileList")
    p.wait_panel("File : a.txt")
    p.keys("d")
    wait_for(lambda: not p.exists("d:\\a.txt"), "a.txt to leave d:")
    p.wait_main("FileList")
    p.wait_panel("File : b.txt")
    env = dict(os.environ, XDG_DATA_HOME=p.data_home, HOME=p.home)
    listed = subprocess.run(["trash-list"], env=env, capture_output=True, text=True).stdout
    check(host in listed, f"the trash lists {host} (it lists {listed!r})")
    subprocess.run(["trash-restore"], input=b"0\n", cwd=p.drives["d"], env=env, capture_output=True, check=True)
    check(open(host, "rb").read() == data, "the restored file holds every byte")
    after = (os.stat(host).st_mode, os.getxattr(host, "user.DOSATTRIB"))
    check(after == before, f"the restored file's mode and DOS attributes {after} are those it had {before}")


def copy_and_rename_through_dialogs_then_more_keys(desktop, build_dir, programs):
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
    # Two renames from the keyboard, one after the other: the list still takes the keys.
    p.keys("Home")
    p.wait_panel("File : a.txt")
    p.keys("r")
    p.wait_active("Rename file")
    p.type_text("first.txt")
    p.keys("Return")
    wait_for(lambda: p.exists("d:\\first.txt") and not p.exists("d:\\a.txt"), "a.txt renamed to first.txt")
    p.wait_main("FileList")
    p.keys("Down", "r")
    p.wait_active("Rename file")
    p.type_text("second.txt")
    p.keys("Return")
    wait_for(lambda: p.exists("d:\\second.txt"), "a second rename")
    p.wait_main("FileList")
    p.keys("t")
    p.wait_panel("Tagged files : 1")


def tagged_delete_without_and_with_questions(desktop, build_dir, programs):
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
    p.keys("u")
    p.wait_panel("Tagged files : 0")
    p.keys("ctrl+t")
    p.wait_panel("Tagged files : 2")
    p.keys("ctrl+d")
    p.wait_active("Deleting files...")
    p.keys("y")              # confirm each file
    p.keys("y", "n")         # a.txt yes, d.txt no
    wait_for(lambda: p.listing("d") == ["d.txt"], f"only d.txt left (left: {p.listing('d')})")
    p.wait_main("FileList")
    p.keys("u")
    p.wait_panel("Tagged files : 0")
    p.keys("Return")
    p.wait_pane("DirList")


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


def log_drive_caption_while_logging(desktop, build_dir, programs):
    """While a drive is read, the Log drive dialog stays up and its caption says so (what the
    window manager draws in the title bar: every change of the title is watched as it comes)."""
    p = launch(desktop, build_dir, programs, drives={"e": {f"folder{i:04}": None for i in range(2000)}})
    p.keys("l")
    p.wait_active("Log drive")
    windows = subprocess.run(["xdotool", "search", "--name", "^Log drive$"], env=desktop.env(), capture_output=True,
                             text=True).stdout.split()
    spies = [subprocess.Popen(["xprop", "-spy", "-id", w, "_NET_WM_NAME"], env=desktop.env(), stdout=subprocess.PIPE,
                              text=True) for w in windows]
    try:
        p.keys("e")
        p.wait_drive_window("e")
    finally:
        for spy in spies:
            spy.terminate()
    titles = [line.split(" = ", 1)[-1].strip('"') for spy in spies for line in spy.communicate()[0].splitlines()]
    check("Log drive : loggin..." in titles and titles[-1] == "Log drive", f"the dialog's titles: {titles}")


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
    p.wait_drive_window("d")
    p.keys("Right", "Tab", "t")
    p.wait_pane("FileList")
    p.wait_panel("Tagged files : 1")


if __name__ == "__main__":
    run_scenes([about_and_delete_key_then_more_keys, copy_and_rename_through_dialogs_then_more_keys,
                tagged_delete_without_and_with_questions, make_folder_then_more_keys, file_pattern_then_more_keys,
                log_drive_dialog_then_more_keys, delete_to_the_trash_then_restore, log_drive_caption_while_logging])
