#!/usr/bin/env python3
"""The viewers and the Options dialog, used with keys only under openbox: each
window opens with its caption, shows what it should, changes on disk only what
the user changed, and after it closes the main window takes the keys again.

QUORL_E2E_SHOTS=1 saves a picture of each viewer in build/e2e-shots."""

import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Failure, check, launch, run_scenes, wait_for  # noqa: E402

# A DOS text file in Latin-1: CR LF line ends and an e acute (0xE9).
TEXT = b"first line\r\ncaf\xe9 au lait\r\nthird line\r\nlast line\r\n"


def small_png(width=40, height=30):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\x00" + bytes((200, 40, 40)) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


FILES = {"a_latin.txt": TEXT, "b_pic.png": small_png(), "c_other.txt": b"other\r\n"}


def on_list(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, log="d", drives={"d": dict(FILES)})
    p.keys("Tab")
    p.wait_pane("FileList")
    p.wait_panel("File : a_latin.txt")
    return p


def back_on_list(p, key, current):
    """The main window is active with the list focused, and the next key moves in it."""
    p.wait_main("FileList")
    p.keys(key)
    p.wait_panel("File : " + current)


def viewers_then_keys(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    p.keys("v")
    p.wait_active("a_latin.txt")
    shown = wait_for(lambda: p.text_of("a_latin.txt"), "the text view to show the file")
    check("caf\u00e9 au lait" in shown and "first line" in shown and "last line" in shown,
          f"the viewer shows the file decoded from Latin-1 (it shows {shown!r})")
    check("\r" not in shown, f"the line ends show as line breaks only ({shown!r})")
    p.shot("viewer-text")
    check(p.menu_titles("a_latin.txt") == ["View", "Edit"], f"viewer menus: {p.menu_titles('a_latin.txt')}")
    # A viewed file is read-only: typing changes nothing.
    p.type_text("zz")
    check("zz" not in p.text_of("a_latin.txt"), "typing into the viewer changes its text")
    p.keys("Escape")
    back_on_list(p, "Down", "b_pic.png")
    check(open(p.host("d:\\a_latin.txt"), "rb").read() == TEXT, "viewing changed the file")

    # The picture viewer; it opens again after it was put away.
    p.keys("v")
    p.wait_active("b_pic.png")
    p.shot("viewer-picture")
    p.keys("Escape")
    back_on_list(p, "Up", "a_latin.txt")
    p.keys("Down", "v")
    p.wait_active("b_pic.png")
    p.keys("Escape")
    back_on_list(p, "Down", "c_other.txt")

    p.keys("F1")
    caption = wait_for(lambda: (p.active_window() or "").lower().endswith("\\readme.txt") and p.active_window(),
                       f"the read-me in the text viewer (active: {p.active_window()})")
    with open(p.host(caption), "rb") as f:
        first = f.read().decode("latin-1").splitlines()[0].strip()
    shown = wait_for(lambda: p.text_of(caption), "the read-me's text")
    check(first and first in shown, f"the viewer shows the read-me (first line {first!r}, shown {shown[:80]!r})")
    p.shot("viewer-readme")
    p.keys("Escape")
    back_on_list(p, "Up", "b_pic.png")

    # A pipe in a logged file's place is refused by both keys.
    path = p.host("d:\\c_other.txt")
    os.remove(path)
    os.mkfifo(path)
    p.keys("Down")
    p.wait_panel("File : c_other.txt")
    for key in ("v", "e"):
        p.keys(key)
        text = p.message("Error")
        check(text == "Disk has been changed", f"{key} on a pipe says {text!r}")
        p.keys("Return")
        back_on_list(p, "Up", "b_pic.png")
        p.keys("Down")
        p.wait_panel("File : c_other.txt")


def type_at_start(p, text):
    p.keys("ctrl+Home")
    p.type_text(text)
    wait_for(lambda: (p.text_of("a_latin.txt") or "").startswith(text + "first"), "the typed text in the editor")


def edit_save_and_the_question_at_closing(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    path = p.host("d:\\a_latin.txt")
    p.keys("e")
    p.wait_active("a_latin.txt")
    wait_for(lambda: "third line" in (p.text_of("a_latin.txt") or ""), "the editor to show the file")
    check(p.menu_titles("a_latin.txt") == ["File", "View", "Edit"], f"editor menus: {p.menu_titles('a_latin.txt')}")
    p.keys("ctrl+Home", "Down", "Down", "End")
    p.type_text(" edited")
    wait_for(lambda: "third line edited" in p.text_of("a_latin.txt"), "the typed text in the editor")
    p.keys("alt+f")
    p.keys("s")
    edited = TEXT.replace(b"third line\r\n", b"third line edited\r\n")
    try:
        wait_for(lambda: open(path, "rb").read() == edited, "the file saved with only its third line changed")
    except Failure as e:
        raise Failure(f"{e}; on disk: {open(path, 'rb').read()!r}")
    p.wait_active("a_latin.txt")
    p.keys("Escape")
    back_on_list(p, "Down", "b_pic.png")
    check(open(p.host("d:\\c_other.txt"), "rb").read() == FILES["c_other.txt"], "another file changed")

    p.keys("Up")
    p.wait_panel("File : a_latin.txt")
    p.keys("e")
    p.wait_active("a_latin.txt")
    type_at_start(p, "new ")
    p.keys("Escape")
    question = p.message("Question")
    check(question == "The text has been changed. Save it ?", f"the question reads {question!r}")
    p.shot("editor-question")
    p.keys("Escape")                    # Cancel: back to the text, as typed
    p.wait_active("a_latin.txt")
    check(p.text_of("a_latin.txt").startswith("new first"), "Cancel kept the typed text")
    p.keys("alt+F4")                    # as the close box
    p.message("Question")
    p.keys("n")                         # No: the edit goes
    back_on_list(p, "Down", "b_pic.png")
    check(open(path, "rb").read() == edited, "No left the file as it was")
    p.keys("Up")
    p.wait_panel("File : a_latin.txt")
    p.keys("e")
    p.wait_active("a_latin.txt")
    type_at_start(p, "new ")
    p.keys("Escape")
    p.message("Question")
    p.keys("y")                         # Yes: saved as Save does
    wait_for(lambda: open(path, "rb").read() == b"new " + edited,
             f"the file saved with the typed text (on disk: {open(path, 'rb').read()!r})")
    back_on_list(p, "Down", "b_pic.png")


def tab_to(p, name):
    for _ in range(12):
        if p.focused_name() == name:
            break
        p.keys("Tab")
    p.wait_focus(name)


def options_change_file_columns(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    ini = p.host("c:\\windows\\quorl.ini")
    before = open(ini, "rb").read()
    lines = before.split(b"\r\n") if b"\r\n" in before else before.split(b"\n")
    columns = [i for i, line in enumerate(lines) if line.lower().startswith(b"file columns=")]
    check(len(columns) == 1, f"the settings file holds one file column line ({columns})")
    old = lines[columns[0]].split(b"=", 1)[1]
    new = b"3" if old.strip() != b"3" else b"2"
    p.keys("alt+r", "o")
    p.wait_active("Options")
    p.shot("options")
    # Tab on to the File columns box; letters are refused there, digits taken.
    tab_to(p, "File columns")
    p.type_text("x" + new.decode())
    box = p.focused()
    wait_for(lambda: box.queryText().getText(0, -1) == new.decode(),
             f"the box to hold {new!r} (it holds {box.queryText().getText(0, -1)!r})")
    tab_to(p, "OK")
    p.keys("space")
    back_on_list(p, "Down", "b_pic.png")
    after = wait_for(lambda: open(ini, "rb").read() != before and open(ini, "rb").read(), "the settings file to change")
    sep = b"\r\n" if b"\r\n" in before else b"\n"
    after_lines = after.split(sep)
    check(len(after_lines) == len(lines), f"the settings file had {len(lines)} lines, now {len(after_lines)}")
    key = lines[columns[0]].split(b"=", 1)[0]
    check(after_lines[columns[0]] == key + b"=" + new, f"the file column line reads {after_lines[columns[0]]!r}")
    # Every value is written back lower-cased (the program reads them so);
    # nothing else may differ: keys, other sections, line ends.
    changed = [(a, b) for i, (a, b) in enumerate(zip(lines, after_lines))
               if i != columns[0] and a != b and not same_but_case(a, b)]
    check(not changed, "other lines changed: " + "; ".join(f"{a!r} -> {b!r}" for a, b in changed))


def same_but_case(line, rewritten):
    if b"=" not in line or b"=" not in rewritten:
        return False
    key, value = line.rsplit(b"=", 1)
    new_key, new_value = rewritten.rsplit(b"=", 1)
    return key == new_key and value.strip().lower() == new_value


if __name__ == "__main__":
    run_scenes([viewers_then_keys, edit_save_and_the_question_at_closing, options_change_file_columns])
