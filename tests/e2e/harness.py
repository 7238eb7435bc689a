"""End-to-end harness: the real program under Xvfb, openbox and AT-SPI, driven by keys as a user
types them (docs/testing.md tells how to run and watch a script)."""

import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

SKIP = 77          # ctest's SKIP_RETURN_CODE for these scripts


class Skip(Exception):
    """The machine cannot run the scene (no X server); not a failure."""


class Failure(AssertionError):
    pass


def wait_for(condition, what, timeout=10.0, step=0.05):
    """Polls until condition() is true; returns its value or raises Failure."""
    end = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
        except Exception as e:           # AT-SPI objects vanish while windows change
            last_error = e
        if time.monotonic() > end:
            extra = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out waiting for {what}{extra}")
        time.sleep(step)


def descendants_of(pid):
    """Process ids below pid, deepest first, read from /proc."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append(int(entry))
        except (OSError, IndexError, ValueError):
            continue
    order = []

    def walk(p):
        for c in children.get(p, []):
            walk(c)
            order.append(c)
    walk(pid)
    return order


def stop_process(proc, timeout=3.0):
    """Ends a process this harness started, and the processes it started."""
    if proc is None or proc.poll() is not None:
        return
    for child in descendants_of(proc.pid):
        try:
            os.kill(child, signal.SIGTERM)
        except ProcessLookupError:
            pass
    proc.terminate()
    try:
        proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


class Desktop:
    """A private X display with (optionally) openbox and a D-Bus session."""

    def __init__(self, window_manager=True, size="1280x1024"):
        self.window_manager = window_manager
        self.size = size
        self.tmp = tempfile.mkdtemp(prefix="quorl-e2e-")
        self.xvfb = self.wm = self.bus = None
        self.display = None
        self.bus_address = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        shown = os.environ.get("QUORL_E2E_DISPLAY")
        if shown:
            self.display = shown
        else:
            self.start_xvfb()
        self.start_bus()
        if self.window_manager:
            self.start_openbox()

    def start_xvfb(self):
        if not shutil.which("Xvfb"):
            raise Skip("Xvfb is not installed")
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.size + "x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.tmp, "xvfb.log"), "w"))
        os.close(write_fd)
        number = b""
        end = time.monotonic() + 15
        while time.monotonic() < end and not number.endswith(b"\n"):
            chunk = os.read(read_fd, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_fd)
        if not number.strip().isdigit():
            log = open(os.path.join(self.tmp, "xvfb.log")).read()[-400:]
            raise Skip(f"Xvfb could not start: {log.strip() or 'no display number'}")
        self.display = ":" + number.decode().strip()

    def start_bus(self):
        env = dict(os.environ, DISPLAY=self.display)
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env, text=True)
        self.bus_address = self.bus.stdout.readline().strip()
        if not self.bus_address:
            raise Failure("the D-Bus session bus did not start")

    def start_openbox(self):
        ready = os.path.join(self.tmp, "wm-ready")
        debug = ["--debug-focus"] if os.environ.get("QUORL_E2E_WM_DEBUG") else []
        self.wm_log = os.path.join(self.tmp, "openbox.log")
        self.wm = subprocess.Popen(["openbox", "--sm-disable", "--startup", "touch " + ready] + debug,
                                   env=self.env(), stdout=open(self.wm_log, "w"), stderr=subprocess.STDOUT)
        wait_for(lambda: os.path.exists(ready), "openbox to manage the display")

    def env(self, **extra):
        env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QT_ACCESSIBILITY"):
            env.pop(name, None)
        env.update(DISPLAY=self.display, DBUS_SESSION_BUS_ADDRESS=self.bus_address)
        env.update(extra)
        return env

    def screenshot(self, path):
        """Saves what the screen shows; best effort (needs ImageMagick's import)."""
        if not shutil.which("import"):
            return None
        subprocess.run(["import", "-window", "root", path], env=self.env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=20)
        return path if os.path.exists(path) else None

    def stop(self):
        for proc in (self.wm, self.bus, self.xvfb):
            stop_process(proc)
        shutil.rmtree(self.tmp, ignore_errors=True)


_atspi = None


def atspi(desktop):
    """The pyatspi module, bound to the desktop's bus (imported once per script)."""
    global _atspi
    if _atspi is None:
        os.environ["DISPLAY"] = desktop.display
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = desktop.bus_address
        try:
            import pyatspi
        except ImportError as e:
            raise Skip(f"python3-pyatspi is not installed ({e})")
        _atspi = pyatspi
    return _atspi


class Program:
    """The real binary in a temporary prefix, driven by keys and read through AT-SPI."""

    def __init__(self, desktop, build_dir, drives=None, ini_edit=None):
        self.desktop = desktop
        self.build_dir = os.path.abspath(build_dir)
        self.root = tempfile.mkdtemp(prefix="prefix-", dir=desktop.tmp)
        self.data_home = os.path.join(self.root, "data")
        self.prefix = os.path.join(self.data_home, "quorl")
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.home)
        self.drives = {}
        subprocess.run([os.path.join(self.build_dir, "quorl-setup"), "--prefix", self.prefix], check=True,
                       env=dict(os.environ, HOME=self.home), stdout=subprocess.DEVNULL)
        for letter, files in (drives or {}).items():
            self.add_drive(letter, files)
        if ini_edit:
            path = self.host("c:\\windows\\quorl.ini")
            with open(path, "rb") as f:
                text = f.read()
            with open(path, "wb") as f:
                f.write(ini_edit(text))
        self.proc = None
        self.app = None
        self.pyatspi = atspi(desktop)

    # ---- files ----
    def add_drive(self, letter, files):
        """Links a drive letter to a new folder holding files {relative path: bytes or None for a folder}."""
        folder = os.path.join(self.root, "drive_" + letter)
        os.makedirs(folder)
        for rel, content in files.items():
            path = os.path.join(folder, rel)
            if content is None:
                os.makedirs(path, exist_ok=True)
                continue
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(content if isinstance(content, bytes) else content.encode())
        os.symlink(folder, os.path.join(self.prefix, "dosdevices", letter + ":"))
        self.drives[letter] = folder
        return folder

    def host(self, dos_path):
        drive, rest = dos_path[0].lower(), dos_path[3:]
        base = os.path.join(self.prefix, "drive_c") if drive == "c" else self.drives[drive]
        return os.path.join(base, *rest.split("\\")) if rest else base

    def exists(self, dos_path):
        return os.path.lexists(self.host(dos_path))

    def listing(self, letter, sub=""):
        return sorted(os.listdir(os.path.join(self.drives[letter], sub)))

    # ---- the process ----
    def start(self):
        env = self.desktop.env(XDG_DATA_HOME=self.data_home, HOME=self.home, QT_QPA_PLATFORM="xcb",
                               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", LANG="C.UTF-8")
        self.log = open(os.path.join(self.root, "quorl.log"), "w")
        self.proc = subprocess.Popen([os.path.join(self.build_dir, "Quorl")], env=env, stdout=self.log,
                                     stderr=subprocess.STDOUT, cwd=self.home)
        self.app = wait_for(self.find_app, "the program on the accessibility bus", timeout=30)
        wait_for(lambda: self.main_active(), "the main window to be active", timeout=20)
        wait_for(lambda: self.focused_name() == "DirList", "the folder tree to have the focus")
        return self

    def find_app(self):
        if self.proc.poll() is not None:
            raise Failure(f"the program ended at start-up with code {self.proc.returncode}")
        for app in self.pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == self.proc.pid:
                    return app
            except Exception:
                continue
        return None

    def stop(self):
        stop_process(self.proc)
        if self.proc is not None and hasattr(self, "log"):
            self.log.close()
        self.proc = None

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    # ---- keys ----
    def keys(self, *names, pause=None):
        """Types keys one by one (xdotool names: "Right", "Tab", "d", "ctrl+d", "alt+q")."""
        slow = float(os.environ.get("QUORL_E2E_SLOW", "1"))
        for name in names:
            if not self.running():
                raise Failure(f"the program is gone before key {name}")
            subprocess.run(["xdotool", "key", "--clearmodifiers", name], env=self.desktop.env(), check=True)
            time.sleep((pause if pause is not None else random.uniform(0.15, 0.3)) * slow)

    def click(self, x, y):
        """A left click at a point of the screen."""
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env=self.desktop.env(), check=True)
        time.sleep(0.3 * float(os.environ.get("QUORL_E2E_SLOW", "1")))

    def type_text(self, text):
        subprocess.run(["xdotool", "type", "--delay", "60", text], env=self.desktop.env(), check=True)
        time.sleep(0.2)

    # ---- what the user sees ----
    def windows(self):
        """Top-level windows of the program: (name, active, showing)."""
        S = self.pyatspi
        result = []
        for child in self.app:
            if child is None:
                continue
            states = child.getState()
            result.append((child.name, states.contains(S.STATE_ACTIVE), states.contains(S.STATE_SHOWING)))
        return result

    def active_window(self):
        for name, active, _ in self.windows():
            if active:
                return name
        return None

    MAIN = "Disk Rorediva 1.0"

    def main_active(self):
        """The main window is the active one (its caption carries the maximised drive window's)."""
        name = self.active_window()
        return name is not None and name.startswith(self.MAIN)

    def main_window(self):
        for child in self.app:
            if child is not None and child.name.startswith(self.MAIN):
                return child
        return None

    def window(self, name):
        for child in self.app:
            if child is not None and child.name == name:
                return child
        return None

    def _find(self, node, test, depth=0, limit=12):
        if node is None or depth > limit:
            return None
        if test(node):
            return node
        try:
            count = node.childCount
        except Exception:
            return None
        # Long lists and trees are searched only in their first rows.
        for i in range(min(count, 60)):
            found = self._find(node.getChildAtIndex(i), test, depth + 1, limit)
            if found is not None:
                return found
        return None

    ITEM_ROLES = ("list item", "table cell", "tree item", "table row", "page tab")

    def focused(self):
        """The control that has the keyboard focus in the active window.

        Items of lists, trees and tab bars report the focus whenever they are current, so
        only controls count; frames around the focused control report it too,
        so the deepest one wins."""
        S = self.pyatspi
        best = (None, -1)

        def walk(node, depth):
            nonlocal best
            if node is None or depth > 14:
                return
            if node.getRoleName() in self.ITEM_ROLES:
                return
            states = node.getState()
            if not states.contains(S.STATE_SHOWING):
                return
            if states.contains(S.STATE_FOCUSED) and depth > best[1]:
                best = (node, depth)
            if node.getRole() in (S.ROLE_LIST, S.ROLE_TREE, S.ROLE_TREE_TABLE, S.ROLE_TABLE, S.ROLE_MENU_BAR):
                return
            for i in range(min(node.childCount, 60)):
                walk(node.getChildAtIndex(i), depth + 1)

        for child in self.app:
            if child is not None and child.getState().contains(S.STATE_ACTIVE):
                walk(child, 0)
                break
        return best[0]

    CAPTION = "Tree structure of "

    def pane_key(self, node):
        """"DirList", "FileList" or "txtDos" for a pane of a drive window, told by its role and place
        (a screen reader hears what the panes show, not these names); None for any other control."""
        S = self.pyatspi
        key = {S.ROLE_TREE: "DirList", S.ROLE_TREE_TABLE: "DirList", S.ROLE_LIST: "FileList",
               S.ROLE_TEXT: "txtDos", S.ROLE_ENTRY: "txtDos"}.get(node.getRole())
        parent = node.parent
        for _ in range(8):
            if key is None or parent is None:
                return None
            if parent.getRole() == S.ROLE_FRAME and parent.name.startswith(self.CAPTION):
                return key
            parent = parent.parent
        return None

    def pane(self, key, window=None):
        """The pane of the shown drive window (or of the given one) that pane_key calls key."""
        return self._find(window or self.drive_window(), lambda n: self.pane_key(n) == key)

    def focused_name(self):
        """The focused control: a drive window's pane by its key, any other control by its name."""
        node = self.focused()
        if node is None:
            return None
        return self.pane_key(node) or node.name

    def menu_titles(self, window_name=None):
        """Titles of the menus a window's menu bar shows, the main window's by default (shortcut marks removed)."""
        S = self.pyatspi
        window = self.main_window() if window_name is None else self.window(window_name)
        bar = self._find(window, lambda n: n.getRole() == S.ROLE_MENU_BAR, limit=4)
        if bar is None:
            return []
        return [m.name.replace("&", "") for m in bar if m is not None and m.getState().contains(S.STATE_VISIBLE)]

    def pane_menu(self):
        """"File" or "Folder": which of the two pane menus the menu bar offers."""
        titles = self.menu_titles()
        return "File" if "File" in titles else "Folder" if "Folder" in titles else None

    def panel(self, label):
        """Text of the shown drive window's status panel that begins with the label ("Tagged files :")."""
        S = self.pyatspi

        def walk(node, depth):
            if node is None or depth > 10 or node.getRoleName() in self.ITEM_ROLES:
                return None
            if not node.getState().contains(S.STATE_SHOWING):
                return None
            if node.getRole() == S.ROLE_LABEL and node.name.startswith(label):
                return node.name
            if node.getRole() in (S.ROLE_LIST, S.ROLE_TREE, S.ROLE_MENU_BAR, S.ROLE_TOOL_BAR):
                return None
            for i in range(node.childCount):
                found = walk(node.getChildAtIndex(i), depth + 1)
                if found is not None:
                    return found
            return None
        return walk(self.drive_window(), 0)

    def drive_window(self):
        """The drive window the main window shows (its caption is in the main window's)."""
        main = self.main_window()
        if main is None or "[" not in main.name:
            return main
        caption = main.name[main.name.rindex("[") + 1:].rstrip("]")
        S = self.pyatspi
        return self._find(main, lambda n: n.getRole() == S.ROLE_FRAME and n.name == caption, limit=3) or main

    def wait_panel(self, text, timeout=10):
        label = text[:text.index(" : ") + 3] if " : " in text else text
        return wait_for(lambda: self.panel(label) == text, f'the panel "{text}" (it reads "{self.panel(label)}")',
                        timeout)

    def log_drive(self, letter):
        """Logs a drive through the Log drive dialog, as a user does: L, then the letter."""
        self.keys("l")
        self.wait_active("Log drive")
        self.keys(letter)
        self.wait_drive_window(letter)

    def wait_drive_window(self, letter):
        """The main window active, showing the drive window of the letter with its tree focused."""
        wait_for(lambda: (self.active_window() or "").endswith(f"[{self.CAPTION}{letter}:]"),
                 f"the drive window of {letter}: (active: {self.active_window()})")
        self.wait_pane("DirList")

    def text_view(self, window_name):
        """The text view a window shows (of a viewer: the text or the hex dump)."""
        S = self.pyatspi
        return self._find(self.window(window_name),
                          lambda n: n.getRole() == S.ROLE_TEXT and n.getState().contains(S.STATE_SHOWING))

    def text_of(self, window_name):
        node = self.text_view(window_name)
        if node is None:
            return None
        text = node.queryText()
        return text.getText(0, text.characterCount)

    def message(self, title, timeout=10):
        """The text of the message box with that title, once it is the active window."""
        self.wait_active(title, timeout)
        return wait_for(lambda: self._find(self.window(title), lambda n: n.getRole() == self.pyatspi.ROLE_LABEL
                                           and n.name), f'the text of "{title}"').name

    def shot(self, name):
        """With QUORL_E2E_SHOTS=1, a picture of the screen in build/e2e-shots/<name>.png."""
        if os.environ.get("QUORL_E2E_SHOTS"):
            folder = os.path.join(self.build_dir, "e2e-shots")
            os.makedirs(folder, exist_ok=True)
            self.desktop.screenshot(os.path.join(folder, name + ".png"))

    def window_extents(self, name):
        w = self.window(name)
        if w is None:
            return None
        c = w.queryComponent()
        e = c.getExtents(self.pyatspi.DESKTOP_COORDS)
        return (e.x, e.y, e.width, e.height)

    # ---- waiting for the user's view ----
    def wait_active(self, name, timeout=10):
        return wait_for(lambda: self.active_window() == name,
                        f'"{name}" to be the active window (it is "{self.active_window()}")', timeout)

    def wait_focus(self, control, timeout=10):
        return wait_for(lambda: self.focused_name() == control,
                        f'the focus on {control} (it is on {self.focused_name()}, '
                        f'active window "{self.active_window()}")', timeout)

    def wait_pane(self, control):
        """The user sees the pane focused and the menu bar agrees with it."""
        self.wait_focus(control)
        menu = "Folder" if control == "DirList" else "File"
        wait_for(lambda: self.pane_menu() == menu, f'the menu bar to offer "{menu}" (it offers {self.menu_titles()})')

    def wait_main(self, pane=None):
        wait_for(self.main_active, f'the main window to be active (active: "{self.active_window()}")')
        if pane:
            self.wait_pane(pane)


def launch(desktop, build_dir, programs, log=None, **kwargs):
    """Starts the program in a fresh prefix, and logs the drive `log` when one is named;
    the scene runner stops it."""
    program = Program(desktop, build_dir, **kwargs)
    programs.append(program)
    program.start()
    if log:
        program.log_drive(log)
    return program


def check(condition, message):
    if not condition:
        raise Failure(message)


def run_scenes(scenes, window_manager=True):
    """Runs each scene(desktop, build_dir) on one desktop; exits 0, 1 or SKIP."""
    build_dir = sys.argv[1] if len(sys.argv) > 1 else "build"
    only = sys.argv[2:] if len(sys.argv) > 2 else None
    failures = []
    shots = os.path.join(os.path.abspath(build_dir), "e2e-shots")
    try:
        with Desktop(window_manager=window_manager) as desktop:
            for scene in scenes:
                if only and scene.__name__ not in only:
                    continue
                started = time.monotonic()
                programs = []
                try:
                    scene(desktop, build_dir, programs)
                    print(f"PASS {scene.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
                except Skip:
                    raise
                except Exception as e:
                    os.makedirs(shots, exist_ok=True)
                    shot = desktop.screenshot(os.path.join(shots, scene.__name__ + ".png"))
                    frames = [f for f in traceback.extract_tb(e.__traceback__) if f.filename != __file__]
                    where = f" (line {frames[-1].lineno}: {frames[-1].line})" if frames else ""
                    print(f"FAIL {scene.__name__}{where}: {e}", flush=True)
                    if not isinstance(e, Failure):
                        traceback.print_exc()
                    if shot:
                        print(f"     screen: {shot}", flush=True)
                    for p in programs:
                        if os.path.exists(os.path.join(p.root, "quorl.log")):
                            out = open(os.path.join(p.root, "quorl.log")).read()[-1500:]
                            if out.strip():
                                print("     program output:\n" + out, flush=True)
                    failures.append(scene.__name__)
                finally:
                    for p in programs:
                        p.stop()
    except Skip as e:
        print(f"SKIP: {e}", flush=True)
        sys.exit(SKIP)
    if failures:
        print(f"{len(failures)} scene(s) failed: {', '.join(failures)}", flush=True)
        sys.exit(1)
    sys.exit(0)
