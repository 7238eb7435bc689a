#!/usr/bin/env python3
"""What a screen reader hears: the panes are named by what they show, the DOS box
by its label, a tagged file as tagged; no control's internal name is spoken."""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402

INTERNAL = re.compile(r"^(frm|mnu|txt|lst|btn|chk|cmb|opt|sts|pic|Group|Dir|File|Path|Label)[A-Z0-9]\w*$")


def names_within(p, node, depth=0):
    if node is None or depth > 12:
        return []
    found = [node.name] if node.name else []
    for i in range(min(node.childCount, 60)):
        found += names_within(p, node.getChildAtIndex(i), depth + 1)
    return found


def wait_name(p, key, name):
    wait_for(lambda: p.pane(key).name == name, f'the {key} pane to be called "{name}" (it is "{p.pane(key).name}")')


def panes_are_called_what_they_show(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": {"a.txt": "a", "b.txt": "b", "sub/s.txt": "s"}})
    S = p.pyatspi
    p.log_drive("d")
    wait_name(p, "DirList", "Folder tree of d:")
    wait_name(p, "FileList", "Files of d:\\")
    wait_name(p, "txtDos", "DOS command")
    labels = [r.getTarget(0).name for r in p.pane("txtDos").getRelationSet()
              if r.getRelationType() == S.RELATION_LABELLED_BY]
    check(labels == ["DOS command :"], f"the DOS box is labelled by {labels}")
    tree = p.pane("DirList")
    headers = [tree.getChildAtIndex(i).name for i in range(min(tree.childCount, 10))
               if tree.getChildAtIndex(i).getRoleName() in ("column header", "table column header")]
    check(headers == ["Folders"], f"the tree's header is read as {headers}")

    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    p.keys("t")
    p.wait_panel("Tagged files : 1")
    items = wait_for(lambda: [c.name for c in p.pane("FileList") if c is not None and c.name.endswith("tagged")],
                     "a tagged file to be announced")
    check(items == ["a.txt, tagged"], f"tagged items read {items}")

    p.keys("Return")
    p.wait_pane("DirList")
    p.keys("Down")
    wait_name(p, "FileList", "Files of d:\\sub")
    p.keys("F11")
    p.wait_focus("FileList")
    wait_name(p, "FileList", "Matching files of d:")
    spoken = [n for n in names_within(p, p.main_window()) if INTERNAL.match(n)]
    check(not spoken, f"internal names are spoken: {sorted(set(spoken))}")


if __name__ == "__main__":
    run_scenes([panes_are_called_what_they_show])
