#!/usr/bin/env python3
"""Bringing a drive window forward, by any route, leaves every window on the pane
the user left it on, after long use as well (under openbox): D on the tree of a
root is then refused and deletes nothing."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402

D_FILES = {"ab.txt": "a", "zz.txt": "z", "sub/s.txt": "s", "sub/inner": None, "tools": None}


def front_letter(p):
    """The drive of the drive window that holds the focused control, maximised or tiled."""
    S = p.pyatspi
    node = p.focused()
    while node is not None and not (node.getRole() == S.ROLE_FRAME and node.name.startswith(p.CAPTION)):
        node = node.parent
    return node.name[len(p.CAPTION)] if node is not None else None


def in_front(p, letter, pane):
    wait_for(lambda: front_letter(p) == letter, f"the focus in the window of {letter}: (it is in {front_letter(p)}:)")
    if pane == "txtDos":
        p.wait_focus(pane)
    else:
        p.wait_pane(pane)


def delete_on_root_refused(p):
    p.keys("d")
    p.wait_active("Error")
    p.keys("Return")
    p.wait_main("DirList")
    check(p.listing("d") == ["ab.txt", "sub", "tools", "zz.txt"], f"files of d: left: {p.listing('d')}")


def click_title(p, letter):
    """A click on the title bar of a drive window tiled in the main window."""
    S = p.pyatspi
    frame = wait_for(lambda: p._find(p.main_window(), lambda n: n.getRole() == S.ROLE_FRAME
                                     and n.name == p.CAPTION + letter + ":", limit=3), f"the frame of {letter}:")
    e = frame.queryComponent().getExtents(S.DESKTOP_COORDS)
    p.click(e.x + e.width // 2, e.y + 8)


def every_route_keeps_each_windows_pane(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": dict(D_FILES), "e": {"x.txt": "x", "y.txt": "y"}})
    # Long use first: a drive logged and opened, another relogged, a view and a dialog.
    p.log_drive("d")
    p.keys("Right", "Down")
    p.wait_panel("Matching files : ###")
    p.keys("Up")
    p.wait_panel("Matching files : 2")
    p.log_drive("e")
    p.keys("shift+F6", "Tab")
    p.wait_pane("FileList")
    p.keys("v")
    p.wait_active("x.txt")
    p.keys("Escape")
    p.wait_main("FileList")
    p.keys("f")
    p.wait_active("File specification")
    p.keys("Escape")
    p.wait_main("FileList")
    # c: goes round its panes with Tab and is left in its DOS box; d: on its root tree.
    p.keys("alt+w", "1")
    in_front(p, "c", "DirList")
    p.keys("Tab", "Tab", "Tab", "Tab", "Tab")
    p.wait_focus("txtDos")
    windows = {"1": ("c", "txtDos"), "2": ("d", "DirList"), "3": ("e", "FileList")}
    for number in "23132":
        p.keys("alt+w", number)
        in_front(p, *windows[number])
    delete_on_root_refused(p)
    # The window keys, from each kind of pane: the next window in the order opened.
    for key, number in (("ctrl+F6", "3"), ("ctrl+Tab", "1"), ("ctrl+Tab", "2")):
        p.keys(key)
        in_front(p, *windows[number])
    delete_on_root_refused(p)
    # A dialog and a viewer closing.
    p.keys("l")
    p.wait_active("Log drive")
    p.keys("Escape")
    in_front(p, "d", "DirList")
    p.keys("ctrl+F6")
    in_front(p, "e", "FileList")
    p.keys("v")
    p.wait_active("x.txt")
    p.keys("Escape")
    in_front(p, "e", "FileList")
    # Closing the window above: the one that comes forward keeps its pane.
    p.keys("ctrl+F4")
    letter = wait_for(lambda: front_letter(p) if front_letter(p) in ("c", "d") else None, "e: closed")
    in_front(p, *windows["1" if letter == "c" else "2"])
    if letter == "c":
        p.keys("ctrl+F6")
        in_front(p, "d", "DirList")
    delete_on_root_refused(p)
    # Tiled side by side, a click on the other window's title bar.
    p.keys("F8")
    click_title(p, "c")
    in_front(p, "c", "txtDos")
    click_title(p, "d")
    in_front(p, "d", "DirList")
    delete_on_root_refused(p)
    # Ctrl+F4 closes a tiled window too.
    p.keys("ctrl+F4")
    in_front(p, "c", "txtDos")


if __name__ == "__main__":
    run_scenes([every_route_keeps_each_windows_pane])
