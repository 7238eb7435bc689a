#!/usr/bin/env python3
"""The Debian package as a user gets it: built with cpack, unpacked with
dpkg-deb -x into a temporary root and started from there with a fresh home.
The program makes its prefix itself, the tools it links are the package's own,
and the desktop entry and the AppStream metadata pass their validators."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Program, Skip, atspi, check, run_scenes, wait_for  # noqa: E402

APP_ID = "org.rorediva.Quorl"


def needed(program, package):
    path = shutil.which(program)
    if not path:
        raise Skip(f"{program} is not installed (Debian package {package}; scripts/deps.sh installs it)")
    return path


def unpacked_package(build_dir, work):
    """Builds the .deb from the build tree and unpacks it; returns the root and the package's name."""
    cpack = needed("cpack", "cmake")
    needed("dpkg-deb", "dpkg")
    out = os.path.join(work, "package")
    subprocess.run([cpack, "-G", "DEB", "-B", out, "--config", os.path.join(build_dir, "CPackConfig.cmake")],
                   check=True, cwd=build_dir, stdout=subprocess.DEVNULL)
    debs = glob.glob(os.path.join(out, "*.deb"))
    check(len(debs) == 1, f"cpack made one package: {debs}")
    root = os.path.join(work, "root")
    subprocess.run(["dpkg-deb", "-x", debs[0], root], check=True)
    fields = subprocess.run(["dpkg-deb", "-f", debs[0], "Depends"], check=True, capture_output=True, text=True)
    return root, fields.stdout


class Installed(Program):
    """The unpacked program, started with a home that holds nothing yet."""

    def __init__(self, desktop, bin_dir):
        self.desktop = desktop
        self.build_dir = bin_dir
        self.root = tempfile.mkdtemp(prefix="user-", dir=desktop.tmp)
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.home)
        self.data_home = os.path.join(self.home, ".local", "share")
        self.prefix = os.path.join(self.data_home, "quorl")
        self.drives = {}
        self.proc = self.app = None
        self.pyatspi = atspi(desktop)


def unpacked_package_starts_with_a_fresh_home(desktop, build_dir, programs):
    validate_entry = needed("desktop-file-validate", "desktop-file-utils")
    appstreamcli = needed("appstreamcli", "appstream")
    root, depends = unpacked_package(os.path.abspath(build_dir), desktop.tmp)
    for runtime in ("libqt6widgets6", "libqt6multimedia6", "libzip4", "arj", "gstreamer1.0-plugins-base"):
        check(runtime in depends, f"the package depends on {runtime}: {depends}")
    usr = os.path.join(root, "usr")
    share = os.path.join(usr, "share")
    subprocess.run([validate_entry, os.path.join(share, "applications", APP_ID + ".desktop")], check=True)
    subprocess.run([appstreamcli, "validate", "--no-net", os.path.join(share, "metainfo", APP_ID + ".metainfo.xml")],
                   check=True, stdout=subprocess.DEVNULL)
    # The media player's module, loaded from the tools' folder the first time something plays.
    check(os.path.isfile(os.path.join(usr, "libexec", "quorl", "libquorl-media.so")), "the media module is installed")
    for icon in ("scalable/apps/" + APP_ID + ".svg", "48x48/apps/" + APP_ID + ".png"):
        check(os.path.isfile(os.path.join(share, "icons", "hicolor", icon)), f"the icon {icon} is installed")

    p = Installed(desktop, os.path.join(usr, "bin"))
    programs.append(p)
    p.start()
    wait_for(lambda: "[Tree structure of c:" in (p.active_window() or ""),
             f"the drive window of c: (active: {p.active_window()})")
    check(os.path.isfile(os.path.join(p.prefix, "drive_c", "windows", "quorl.ini")), "the prefix was made")
    h = os.path.join(p.prefix, "dosdevices", "h:")
    check(os.path.realpath(h) == os.path.realpath(p.home), f"h: is the new user's home, not {os.path.realpath(h)}")
    # The program folder and the tools lead into the unpacked package.
    for dos_name, installed in (("quorl/Quorl.exe", "bin/Quorl"), ("command.com", "libexec/quorl/quorl-command"),
                                ("quorl/pkzip.exe", "libexec/quorl/quorl-pkzip"),
                                ("quorl/arj.exe", "libexec/quorl/quorl-arj")):
        link = os.path.join(p.prefix, "drive_c", dos_name)
        check(os.path.realpath(link) == os.path.join(usr, installed),
              f"c:\\{dos_name} leads to {os.path.realpath(link)}, not the package's {installed}")
    # A captured command runs through the installed interpreter.
    p.keys("Tab")
    p.wait_pane("FileList")
    p.keys("Tab")
    p.wait_focus("txtDos")
    p.type_text("ver")
    p.keys("Return")
    p.wait_active("ver", timeout=20)


if __name__ == "__main__":
    run_scenes([unpacked_package_starts_with_a_fresh_home])
