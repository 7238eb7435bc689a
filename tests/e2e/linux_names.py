#!/usr/bin/env python3
"""Names as Linux has them, used with keys only: a folder of names DOS cannot
hold (":" "?" "\\" a line break, bytes that are no UTF-8, a leading "-", blanks
at either end, "%", 255 bytes, names that differ only in case) is listed whole,
shown with look-alikes, tagged, copied and zipped, and each copy and the
archive hold each name with its bytes; X on a file hands its program the
file's host path exactly as it is on disk."""

import filecmp
import os
import stat
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import check, launch, run_scenes, wait_for  # noqa: E402

NAMES = [b"qa.txt", b"Meeting: notes.txt", b"what?.pdf", b"back\\slash", b"caf\xff.bin", b"-rf.txt",
         b"100%.txt", b" first", b"last ", b"new\nline", b"n" * 251 + b".txt", b"A.txt", b"a.txt", b"a.TXT"]


def make_files(folder, names):
    for name in names:
        fd = os.open(os.fsencode(folder) + b"/" + name, os.O_CREAT | os.O_WRONLY, 0o644)
        os.write(fd, b"content of " + name)
        os.close(fd)


def stored_bytes(info):
    """An entry's name as the bytes the archive holds."""
    return info.filename.encode("utf-8" if info.flag_bits & 0x800 else "cp437")


# The folder of the issue: seven files, two of them a case pair.
ISSUE = [b"qa.txt", b"Meeting: notes.txt", b"what?.pdf", b"back\\slash", b"caf\xff.bin", b"A.txt", b"a.txt"]


def every_file_of_a_folder_is_listed_shown_and_copied(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": {"copy": None, "Sub:dir": None}})
    make_files(p.drives["d"], ISSUE)
    p.log_drive("d")
    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    p.wait_panel("Matching files : 7")
    # Listed in this order: A.txt a.txt back＼slash caf‹FF›.bin meeting： notes.txt qa.txt what？.pdf
    p.keys("Home", "Down", "Down", "Down", "Down")
    p.wait_panel("File : meeting\uff1a notes.txt")
    p.shot("linux_names_list")
    p.keys("c")
    p.wait_active("Copy file")
    p.shot("linux_names_copy_dialog")
    p.keys("Escape")
    p.wait_main("FileList")
    p.keys("Home", *["t"] * len(ISSUE))
    p.wait_panel("Tagged files : 7")
    p.keys("ctrl+c")
    p.wait_active("Copy all tagged files")
    p.keys("Return")
    p.type_text("d:\\copy")
    p.keys("Return")
    p.wait_main("FileList")
    src, dst = os.fsencode(p.drives["d"]), os.fsencode(p.host("d:\\copy"))
    wait_for(lambda: len(os.listdir(dst)) == len(ISSUE), "every tagged file copied", timeout=20)
    check(sorted(os.listdir(dst)) == sorted(ISSUE), f"each name copied as it is: {sorted(os.listdir(dst))}")
    for name in ISSUE:
        check(filecmp.cmp(src + b"/" + name, dst + b"/" + name, shallow=False), f"{name!r} copied with its bytes")


def every_name_is_listed_tagged_and_zipped(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": {}})
    make_files(p.drives["d"], NAMES)
    p.log_drive("d")
    p.keys("Right", "Tab")
    p.wait_pane("FileList")
    p.wait_panel("Matching files : %d" % len(NAMES))
    # T tags the current file and goes on to the next.
    p.keys("Home", *["t"] * len(NAMES))
    p.wait_panel("Tagged files : %d" % len(NAMES))
    p.keys("ctrl+F5")
    p.wait_active("Compress file(s) to Zip format")
    p.type_text("names.zip")
    p.keys("Return")
    p.type_text("d:\\")
    p.keys("Return")
    p.wait_active("Question", timeout=30)
    p.keys("n")
    p.wait_main("FileList")
    archive = p.host("d:\\names.zip")
    check(os.path.isfile(archive), f"the archive is made (drive holds {p.listing('d')})")
    with zipfile.ZipFile(archive) as z:
        stored = {stored_bytes(i): z.read(i) for i in z.infolist()}
    check(sorted(stored) == sorted(NAMES), f"the archive holds every name as it is: {sorted(stored)}")
    for name in NAMES:
        check(stored[name] == b"content of " + name, f"{name!r} is stored with its bytes")


RECORDER = """#!/bin/sh
printf '%s\\0' "$@" > "{out}.part"
mv "{out}.part" "{out}"
"""


def execute_hands_the_program_the_exact_name(desktop, build_dir, programs):
    def associate(ini):
        return ini.replace(b"[associations]\r\n", b"[associations]\r\n.qqq,Test file,c:\\windows\\rec.exe\r\n")

    p = launch(desktop, build_dir, programs, drives={"d": {}}, ini_edit=associate)
    record = os.path.join(p.root, "argv")
    recorder = p.host("c:\\windows\\rec.exe")
    with open(recorder, "w") as f:
        f.write(RECORDER.format(out=record))
    os.chmod(recorder, os.stat(recorder).st_mode | stat.S_IXUSR)
    # Listed in this order: "-rf.qqq", then "report.qqq".
    make_files(p.drives["d"], [b"-rf.qqq", b"Report.QQQ"])
    p.log_drive("d")
    p.keys("Tab")
    p.wait_pane("FileList")
    for name in (b"-rf.qqq", b"Report.QQQ"):
        p.wait_panel("File : " + name.decode().lower())
        p.keys("x")
        wait_for(lambda: os.path.exists(record), f"the program to start for {name!r}", timeout=20)
        with open(record, "rb") as f:
            argv = f.read().split(b"\0")[:-1]
        os.unlink(record)
        expected = os.fsencode(p.drives["d"]) + b"/" + name
        check(argv == [expected], f"the program gets {expected!r}, not {argv!r}")
        p.wait_main("FileList")
        p.keys("Down")


if __name__ == "__main__":
    run_scenes([every_file_of_a_folder_is_listed_shown_and_copied, every_name_is_listed_tagged_and_zipped,
                execute_hands_the_program_the_exact_name])
