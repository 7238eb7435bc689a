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


def shot(desktop, build_dir, name):
    if os.environ.get("QUORL_E2E_SHOTS"):
        folder = os.path.join(os.path.abspath(build_dir), "e2e-shots")
        os.makedirs(folder, exist_ok=True)
        desktop.screenshot(os.path.join(folder, name + ".png"))


def text_of(p, window_name):
    """The text of the first shown text view of a window."""
    S = p.pyatspi
    node = p._find(p.window(window_name),
                   lambda n: n.getRole() == S.ROLE_TEXT and n.getState().contains(S.STATE_SHOWING))
    if node is None:
        return None
    text = node.queryText()
    return text.getText(0, text.characterCount)


def menus_of(p, window_name):
    """Titles of the menus a window's menu bar shows (shortcut marks removed)."""
    S = p.pyatspi
    bar = p._find(p.window(window_name), lambda n: n.getRole() == S.ROLE_MENU_BAR, limit=4)
    if bar is None:
        return []
    return [m.name.replace("&", "") for m in bar if m is not None and m.getState().contains(S.STATE_VISIBLE)]


def on_list(desktop, build_dir, programs):
    p = launch(desktop, build_dir, programs, drives={"d": dict(FILES)})
    p.log_drive("d")
    p.keys("Tab")
    p.wait_pane("FileList")
    p.wait_panel("File : a_latin.txt")
    return p


def back_on_list(p, key, current):
    """The main window is active with the list focused, and the next key moves in it."""
    p.wait_main("FileList")
    p.keys(key)
    p.wait_panel("File : " + current)


def view_text_then_keys(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    p.keys("v")
    p.wait_active("a_latin.txt")
    shown = wait_for(lambda: text_of(p, "a_latin.txt"), "the text view to show the file")
    check("caf\u00e9 au lait" in shown and "first line" in shown and "last line" in shown,
          f"the viewer shows the file decoded from Latin-1 (it shows {shown!r})")
    check("\r" not in shown,
          f"the line ends show as line breaks only ({shown!r})")
    shot(desktop, build_dir, "viewer-text")
    check(menus_of(p, "a_latin.txt") == ["View", "Edit"], f"viewer menus: {menus_of(p, 'a_latin.txt')}")
    # A viewed file is read-only: typing changes nothing.
    p.type_text("zz")
    check("zz" not in text_of(p, "a_latin.txt"), "typing into the viewer changes its text")
    p.keys("Escape")
    back_on_list(p, "Down", "b_pic.png")
    check(open(p.host("d:\\a_latin.txt"), "rb").read() == TEXT, "viewing changed the file")


def edit_one_line_and_save(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    p.keys("e")
    p.wait_active("a_latin.txt")
    wait_for(lambda: "third line" in (text_of(p, "a_latin.txt") or ""), "the editor to show the file")
    check(menus_of(p, "a_latin.txt") == ["File", "View", "Edit"], f"editor menus: {menus_of(p, 'a_latin.txt')}")
    p.keys("ctrl+Home", "Down", "Down", "End")
    p.type_text(" edited")
    wait_for(lambda: "third line edited" in text_of(p, "a_latin.txt"), "the typed text in the editor")
    p.keys("alt+f")
    p.keys("s")
    expected = TEXT.replace(b"third line\r\n", b"third line edited\r\n")
    path = p.host("d:\\a_latin.txt")
    try:
        wait_for(lambda: open(path, "rb").read() == expected, "the file saved with only its third line changed")
    except Failure as e:
        raise Failure(f"{e}; on disk: {open(path, 'rb').read()!r}")
    p.wait_active("a_latin.txt")
    p.keys("Escape")
    back_on_list(p, "Down", "b_pic.png")
    check(open(p.host("d:\\c_other.txt"), "rb").read() == FILES["c_other.txt"], "another file changed")


def message_text(p, title):
    """The text of the message box with that title, once it is the active window."""
    p.wait_active(title)
    label = wait_for(lambda: p._find(p.window(title), lambda n: n.getRole() == p.pyatspi.ROLE_LABEL and n.name),
                     f'the text of "{title}"')
    return label.name


def type_at_start(p, text):
    p.keys("ctrl+Home")
    p.type_text(text)
    wait_for(lambda: (text_of(p, "a_latin.txt") or "").startswith(text + "first"), "the typed text in the editor")


def closing_an_edit_asks_to_save(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    path = p.host("d:\\a_latin.txt")
    p.keys("e")
    p.wait_active("a_latin.txt")
    type_at_start(p, "new ")
    p.keys("Escape")
    question = message_text(p, "Question")
    check(question == "The text has been changed. Save it ?", f"the question reads {question!r}")
    shot(desktop, build_dir, "editor-question")
    p.keys("Escape")                    # Cancel: back to the text, as typed
    p.wait_active("a_latin.txt")
    check(text_of(p, "a_latin.txt").startswith("new first"), "Cancel kept the typed text")
    p.keys("alt+F4")                    # as the close box
    message_text(p, "Question")
    p.keys("n")                         # No: the edit goes
    back_on_list(p, "Down", "b_pic.png")
    check(open(path, "rb").read() == TEXT, "No left the file as it was")
    p.keys("Up")
    p.wait_panel("File : a_latin.txt")
    p.keys("e")
    p.wait_active("a_latin.txt")
    type_at_start(p, "new ")
    p.keys("Escape")
    message_text(p, "Question")
    p.keys("y")                         # Yes: saved as Save does
    wait_for(lambda: open(path, "rb").read() == b"new " + TEXT,
             f"the file saved with the typed text (on disk: {open(path, 'rb').read()!r})")
    back_on_list(p, "Down", "b_pic.png")


def pipe_in_a_files_place(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    path = p.host("d:\\c_other.txt")
    os.remove(path)
    os.mkfifo(path)
    p.keys("Down", "Down")
    p.wait_panel("File : c_other.txt")
    for key in ("v", "e"):
        p.keys(key)
        text = message_text(p, "Error")
        check(text == "Disk has been changed", f"{key} on a pipe says {text!r}")
        p.keys("Return")
        back_on_list(p, "Up", "b_pic.png")
        p.keys("Down")
        p.wait_panel("File : c_other.txt")


def view_picture_then_keys(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    p.keys("Down")
    p.wait_panel("File : b_pic.png")
    p.keys("v")
    p.wait_active("b_pic.png")
    shot(desktop, build_dir, "viewer-picture")
    p.keys("Escape")
    back_on_list(p, "Up", "a_latin.txt")
    # Once more: the viewer opens again after it was put away.
    p.keys("Down", "v")
    p.wait_active("b_pic.png")
    p.keys("Escape")
    back_on_list(p, "Down", "c_other.txt")


def read_me_from_help(desktop, build_dir, programs):
    p = on_list(desktop, build_dir, programs)
    p.keys("F1")
    caption = wait_for(lambda: (p.active_window() or "").lower().endswith("\\readme.txt") and p.active_window(),
                       f"the read-me in the text viewer (active: {p.active_window()})")
    with open(p.host(caption), "rb") as f:
        first = f.read().decode("latin-1").splitlines()[0].strip()
    shown = wait_for(lambda: text_of(p, caption), "the read-me's text")
    check(first and first in shown, f"the viewer shows the read-me (first line {first!r}, shown {shown[:80]!r})")
    shot(desktop, build_dir, "viewer-readme")
    p.keys("Escape")
    back_on_list(p, "Down", "b_pic.png")


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
    shot(desktop, build_dir, "options")
    # Tab on to the File columns box; letters are refused there, digits taken.
    for _ in range(12):
        if p.focused_name() == "File columns":
            break
        p.keys("Tab")
    p.wait_focus("File columns")
    p.type_text("x" + new.decode())
    box = p.focused()
    wait_for(lambda: box.queryText().getText(0, -1) == new.decode(),
             f"the box to hold {new!r} (it holds {box.queryText().getText(0, -1)!r})")
    for _ in range(12):
        if p.focused_name() == "OK":
            break
        p.keys("Tab")
    p.wait_focus("OK")
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
    run_scenes([view_text_then_keys, edit_one_line_and_save, closing_an_edit_asks_to_save, pipe_in_a_files_place,
                view_picture_then_keys, read_me_from_help, options_change_file_columns])
