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


def tree_shows(p, name):
    tree = p.pane("DirList")
    return p._find(tree, lambda n: n.getRoleName() in p.ITEM_ROLES and n.name == name) is not None


def wait_path(p, path):
    wait_for(lambda: (p.panel(" Path :") or "").strip() == "Path : " + path,
             f'the path panel to read {path} (it reads "{p.panel(" Path :")}")')


RELOG = ("{} file(s) to drive d:. After the {} process is advisable to relog the drive. "
         "Do you want to relog the drive ?")


def through_dialog(p, key, caption, name, folder, question):
    """An archiver's dialog: the name (or as it is), the folder; then yes to the relog question
    asked once the archiver has ended, which gives the tree the keyboard."""
    p.keys(key)
    p.wait_active(caption)
    if name:
        p.type_text(name)
    p.keys("Return")
    p.type_text(folder)
    p.keys("Return")
    text = p.message("Question", timeout=30)
    check(text == question, f"the question reads {text!r}")
    p.keys("y")
    p.wait_main("DirList")


def extract_last_file(p, archive):
    """The relogged root opened, the archive current at the end of the list, extracted to d:\\unpacked."""
    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    p.keys("End")
    p.wait_panel("File : " + archive)
    through_dialog(p, "alt+F5", "Extract file(s)", None, "d:\\unpacked", RELOG.format("Extracting", "extract"))


def unpacked(p, files):
    for name, data in files.items():
        with open(os.path.join(p.drives["d"], "unpacked", name), "rb") as f:
            check(f.read() == data, f"{name} comes back with its bytes")


def dos_box_text(p):
    box = p.pane("txtDos")
    t = box.queryText()
    return t.getText(0, t.characterCount)


def dos_command(p, text):
    p.type_text(text)
    p.keys("Return")


def dos_box_folders_and_listing(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, log="d", drives={"d": dict(FILES)})
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
    shown = wait_for(lambda: p.text_of("dir"), "the listing in the viewer")
    for name in ("ALPHA", "BRAVO", "CHARLIE", "NEWDIR"):
        check(name.lower() in shown.lower(), f"the listing names {name}: {shown[:600]!r}")
    check(not p.text_view("dir").getState().contains(p.pyatspi.STATE_EDITABLE), "the captured listing is read-only")
    menus = p.menu_titles("dir")
    check(menus and "File" not in menus, f"the viewer hides its File menu (menus: {menus})")
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
    p = launch(desktop, build_dir, programs, log="d", drives={"d": dict(FILES, unpacked=None)})
    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    p.wait_panel("File : alpha.txt")
    p.keys("t")
    p.wait_panel("Tagged files : 1")
    # T tags the current file and goes on to the next.
    p.wait_panel("File : bravo.txt")
    p.keys("t")
    p.wait_panel("Tagged files : 2")

    through_dialog(p, "ctrl+F5", "Compress file(s) to Zip format", "pair.zip", "d:\\",
                   RELOG.format("Compressing", "compression"))
    archive = p.host("d:\\pair.zip")
    check(os.path.isfile(archive), f"the archive is made (drive holds {p.listing('d')})")
    with zipfile.ZipFile(archive) as z:
        names = sorted(i.filename for i in z.infolist())
        check(names == ["alpha.txt", "bravo.txt"], f"the archive holds the two tagged files: {names}")
        for name in names:
            check(z.read(name) == FILES[name], f"{name} is stored with its bytes")

    extract_last_file(p, "pair.zip")
    check(p.listing("d", "unpacked") == ["alpha.txt", "bravo.txt"],
          f"the two files are extracted: {p.listing('d', 'unpacked')}")
    unpacked(p, {name: FILES[name] for name in ("alpha.txt", "bravo.txt")})
    # The keyboard goes on in the relogged window.
    p.keys("Right", "Tab", "Home", "t")
    p.wait_pane("FileList")
    p.wait_panel("Tagged files : 1")


def arj_tagged_files_with_a_folder_and_back(desktop, build_dir, programs):
    files = {"alpha.txt": FILES["alpha.txt"], "sub/delta.txt": FILES["bravo.txt"]}
    p = launch(desktop, build_dir, programs, log="d", drives={"d": dict(files, unpacked=None)})
    # The folder logged too, then the global list of the drive: both files.
    p.keys("Right", "Down", "ctrl+l", "Home", "g")
    p.wait_focus("FileList")
    p.wait_panel("Matching files : 2")
    p.keys("Home", "t", "t")
    p.wait_panel("Tagged files : 2")
    # arj asks nothing that no one could answer: the run ends by itself.
    through_dialog(p, "ctrl+F9", "Compress file(s) to ARJ format", "pair", "d:\\",
                   RELOG.format("Compressing", "compression"))
    check(p.listing("d") == ["alpha.txt", "pair.arj", "sub", "unpacked"], f"the drive holds {p.listing('d')}")
    listed = subprocess.run(["arj", "v", p.host("d:\\pair.arj")], capture_output=True, text=True).stdout
    check("alpha.txt" in listed and "sub/delta.txt" in listed, f"the archive holds both files: {listed}")

    extract_last_file(p, "pair.arj")
    unpacked(p, files)
    check(p.listing("d", "unpacked") == ["alpha.txt", "sub"], f"nothing else: {p.listing('d', 'unpacked')}")


if __name__ == "__main__":
    run_scenes([dos_box_folders_and_listing, zip_two_tagged_files_and_extract,
                arj_tagged_files_with_a_folder_and_back])
