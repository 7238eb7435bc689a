#!/usr/bin/env python3
"""The DOS command box and the archivers, used with keys only: folders made
and removed from the command line, a captured listing in the viewer, XCOPY in a
console that stays open, two tagged files compressed to a Zip archive and
extracted again, byte for byte, and the same through ARJ with a folder in the
archive and the settings setup installs."""

import os
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402

FILES = {"alpha.txt": b"first file\r\nof the pair\r\n", "bravo.txt": b"second \x00\x01\xff bytes",
         "charlie.txt": b"left out"}


def text_of(node, pyatspi, depth=0):
    """All text the window's text views hold."""
    if node is None or depth > 12:
        return ""
    found = ""
    try:
        if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_DOCUMENT_TEXT, pyatspi.ROLE_PARAGRAPH):
            t = node.queryText()
            found += t.getText(0, t.characterCount)
    except NotImplementedError:
        pass
    for i in range(min(node.childCount, 60)):
        found += text_of(node.getChildAtIndex(i), pyatspi, depth + 1)
    return found


def tree_shows(p, name):
    tree = p.pane("DirList")
    return p._find(tree, lambda n: n.getRoleName() in p.ITEM_ROLES and n.name == name) is not None


def wait_path(p, path):
    wait_for(lambda: (p.panel(" Path :") or "").strip() == "Path : " + path,
             f'the path panel to read {path} (it reads "{p.panel(" Path :")}")')


def wait_question(p, text):
    """The relog question, asked once the archiver has ended."""
    p.wait_active("Question", timeout=30)
    label = wait_for(lambda: p._find(p.window("Question"), lambda n: n.getRole() == p.pyatspi.ROLE_LABEL and
                                     n.name.startswith(text[:20])), "the question's text")
    check(label.name == text, f"the question reads {label.name!r}")


def dos_box_text(p):
    box = p.pane("txtDos")
    t = box.queryText()
    return t.getText(0, t.characterCount)


def dos_command(p, text):
    p.type_text(text)
    p.keys("Return")


def dos_box_folders_and_listing(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": dict(FILES)})
    p.log_drive("d")
    p.keys("Tab")
    p.wait_pane("FileList")
    p.keys("Tab")
    p.wait_focus("txtDos")

    # Escape only empties the box.
    p.type_text("md never")
    wait_for(lambda: dos_box_text(p) == "md never", "the typed command in the box")
    p.keys("Escape")
    wait_for(lambda: dos_box_text(p) == "", f'the box emptied (it holds "{dos_box_text(p)}")')
    p.wait_main()
    p.wait_focus("txtDos")

    dos_command(p, "md newdir")
    wait_for(lambda: os.path.isdir(p.host("d:\\newdir")), "the folder newdir to be made")
    wait_for(lambda: tree_shows(p, "newdir"), "the tree to show newdir")
    check(dos_box_text(p) == "", "Enter empties the box")
    p.wait_main()
    p.wait_focus("txtDos")
    # Change folder walks the logged tree, typed with or without the blank.
    dos_command(p, "CD NEWDIR")
    wait_path(p, "d:\\newdir")
    dos_command(p, "cd..")
    wait_path(p, "d:\\")
    p.wait_focus("txtDos")

    # A captured command: its output in a read-only viewer captioned by the command word.
    dos_command(p, "dir")
    p.wait_active("dir")
    shown = wait_for(lambda: text_of(p.window("dir"), p.pyatspi), "the listing in the viewer")
    for name in ("ALPHA", "BRAVO", "CHARLIE", "NEWDIR"):
        check(name.lower() in shown.lower(), f"the listing names {name}: {shown[:600]!r}")
    text = p._find(p.window("dir"), lambda n: n.getRole() == p.pyatspi.ROLE_TEXT and n.getState().contains(
        p.pyatspi.STATE_SHOWING))
    check(text is not None and not text.getState().contains(p.pyatspi.STATE_EDITABLE),
          "the captured listing is read-only")
    bar = p._find(p.window("dir"), lambda n: n.getRole() == p.pyatspi.ROLE_MENU_BAR, limit=4)
    shown_menus = [m.name.replace("&", "") for m in bar if m is not None and
                   m.getState().contains(p.pyatspi.STATE_VISIBLE)] if bar is not None else []
    check(shown_menus and "File" not in shown_menus, f"the viewer hides its File menu (menus: {shown_menus})")
    p.keys("Escape")
    p.wait_main()
    p.wait_focus("txtDos")
    # The keyboard is the main window's again: Tab goes round to the tree.
    p.keys("Tab")
    p.wait_pane("DirList")
    p.keys("Tab", "Tab")
    p.wait_focus("txtDos")

    dos_command(p, "rd newdir")
    p.wait_active("Delete folder")
    p.keys("y")
    wait_for(lambda: not os.path.exists(p.host("d:\\newdir")), "the folder newdir to be removed")
    wait_for(lambda: not tree_shows(p, "newdir"), "the tree to drop newdir")
    p.wait_main()
    check(not os.path.exists(p.host("d:\\never")), "the command emptied by Escape never ran")
    check(p.listing("d") == sorted(FILES), f"only the files are left: {p.listing('d')}")

    # An external command of DOS runs in a console that stays open until the user leaves it.
    dos_command(p, "xcopy *.txt copies\\ /y")
    wait_for(lambda: all(os.path.exists(p.host("d:\\copies\\" + n)) for n in FILES), "xcopy to copy the files")
    p.type_text("exit")
    p.keys("Return")
    p.wait_main()


def zip_two_tagged_files_and_extract(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": dict(FILES, unpacked=None)})
    p.log_drive("d")
    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    p.wait_panel("File : alpha.txt")
    p.keys("t")
    p.wait_panel("Tagged files : 1")
    # T tags the current file and goes on to the next.
    p.wait_panel("File : bravo.txt")
    p.keys("t")
    p.wait_panel("Tagged files : 2")

    p.keys("ctrl+F5")
    p.wait_active("Compress file(s) to Zip format")
    p.type_text("pair.zip")
    p.keys("Return")
    p.type_text("d:\\")
    p.keys("Return")
    wait_question(p, "Compressing file(s) to drive d:. After the compression process is advisable to relog the "
                     "drive. Do you want to relog the drive ?")
    p.keys("y")
    # Relogging gives the tree the keyboard.
    p.wait_main("DirList")
    archive = p.host("d:\\pair.zip")
    check(os.path.isfile(archive), f"the archive is made (drive holds {p.listing('d')})")
    with zipfile.ZipFile(archive) as z:
        names = sorted(i.filename for i in z.infolist())
        check(names == ["alpha.txt", "bravo.txt"], f"the archive holds the two tagged files: {names}")
        for name in names:
            check(z.read(name) == FILES[name], f"{name} is stored with its bytes")

    # The relogged root opened shows the archive; with it current, Alt+F5 extracts.
    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    p.keys("End")
    p.wait_panel("File : pair.zip")
    p.keys("alt+F5")
    p.wait_active("Extract file(s)")
    p.keys("Return")
    p.type_text("d:\\unpacked")
    p.keys("Return")
    wait_question(p, "Extracting file(s) to drive d:. After the extract process is advisable to relog the drive. "
                     "Do you want to relog the drive ?")
    p.keys("y")
    p.wait_main("DirList")
    check(p.listing("d", "unpacked") == ["alpha.txt", "bravo.txt"],
          f"the two files are extracted: {p.listing('d', 'unpacked')}")
    for name in ("alpha.txt", "bravo.txt"):
        with open(os.path.join(p.drives["d"], "unpacked", name), "rb") as f:
            check(f.read() == FILES[name], f"{name} comes back with its bytes")
    # The keyboard goes on in the relogged window.
    p.keys("Right", "Tab", "Home", "t")
    p.wait_pane("FileList")
    p.wait_panel("Tagged files : 1")


def arj_tagged_files_with_a_folder_and_back(desktop, build_dir, programs):
    files = {"alpha.txt": FILES["alpha.txt"], "sub/delta.txt": FILES["bravo.txt"]}
    p = launch(desktop, build_dir, programs, drives={"d": dict(files, unpacked=None)})
    p.log_drive("d")
    # The folder logged too, then the global list of the drive: both files.
    p.keys("Right", "Down", "ctrl+l", "Home", "g")
    p.wait_focus("FileList")
    p.wait_panel("Matching files : 2")
    p.keys("Home", "t", "t")
    p.wait_panel("Tagged files : 2")
    p.keys("ctrl+F9")
    p.wait_active("Compress file(s) to ARJ format")
    p.type_text("pair")
    p.keys("Return")
    p.type_text("d:\\")
    p.keys("Return")
    # arj asks nothing that no one could answer: the run ends by itself.
    wait_question(p, "Compressing file(s) to drive d:. After the compression process is advisable to relog the "
                     "drive. Do you want to relog the drive ?")
    p.keys("y")
    p.wait_main("DirList")
    check(p.listing("d") == ["alpha.txt", "pair.arj", "sub", "unpacked"], f"the drive holds {p.listing('d')}")
    listed = subprocess.run(["arj", "v", p.host("d:\\pair.arj")], capture_output=True, text=True).stdout
    check("alpha.txt" in listed and "sub/delta.txt" in listed, f"the archive holds both files: {listed}")

    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    p.keys("End")
    p.wait_panel("File : pair.arj")
    p.keys("alt+F5")
    p.wait_active("Extract file(s)")
    p.keys("Return")
    p.type_text("d:\\unpacked")
    p.keys("Return")
    wait_question(p, "Extracting file(s) to drive d:. After the extract process is advisable to relog the drive. "
                     "Do you want to relog the drive ?")
    p.keys("y")
    p.wait_main("DirList")
    for name, data in files.items():
        with open(os.path.join(p.drives["d"], "unpacked", name), "rb") as f:
            check(f.read() == data, f"{name} comes back with its bytes")
    check(p.listing("d", "unpacked") == ["alpha.txt", "sub"], f"nothing else: {p.listing('d', 'unpacked')}")


if __name__ == "__main__":
    run_scenes([dos_box_folders_and_listing, zip_two_tagged_files_and_extract,
                arj_tagged_files_with_a_folder_and_back])
