"""Runs the Windows installer under Wine, each test in a fresh prefix of its own.

A template prefix is made once per build folder (wineboot takes 10-20 s); every test gets a copy of it
(about 1.5 s), starts a persistent wineserver and wineboot before the run (otherwise capturing output
through a pipe costs seconds per run), and ends the server and removes the copy afterwards.
"""

import fcntl
import os
import shutil
import subprocess
import tempfile
import unittest

INSTALLER = os.environ.get("QOR_INSTALLER", "")
WORK = os.environ.get("QOR_E2E_WORK", "")
PAYLOAD_FILES = os.environ.get("QOR_PAYLOAD_FILES", "")  # the files the installer embeds
HELPERS = os.environ.get("QOR_E2E_HELPERS", "")
CURRENT_VERSION_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion"


def wine_env(prefix):
    env = dict(os.environ)
    env["WINEPREFIX"] = prefix
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="  # no Mono/Gecko install dialogs
    return env


def helper(name):
    """The Unix path of one of the tests' own Windows programs (tests/e2e/<name>.cpp)."""
    return os.path.join(HELPERS, "e2e_%s.exe" % name)


def payload_source(name):
    with open(os.path.join(PAYLOAD_FILES, name), "rb") as f:
        return f.read()


def template_prefix():
    """The prefix every test copies, made once under a lock so parallel tests share it."""
    template = os.path.join(WORK, "template")
    os.makedirs(WORK, exist_ok=True)
    with open(os.path.join(WORK, "template.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(template, ".complete")):
            shutil.rmtree(template, ignore_errors=True)
            env = wine_env(template)
            subprocess.run(["wine", "wineboot", "-i"], env=env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=env, check=True)
            open(os.path.join(template, ".complete"), "w").close()
    return template


class WinePrefix:
    """A throwaway copy of the template prefix with its own persistent wineserver."""

    def __init__(self):
        template = template_prefix()
        self.path = tempfile.mkdtemp(prefix="prefix-", dir=WORK)
        os.rmdir(self.path)
        subprocess.run(["cp", "-a", template, self.path], check=True)
        self.env = wine_env(self.path)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        # wineboot leaves services running that would hold a captured pipe open: no capture here.
        subprocess.run(["wine", "wineboot"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120)

    def stop_server(self):
        """Ends every process of the prefix (services included), so that nothing holds its files."""
        subprocess.run(["wineserver", "-k"], env=self.env)
        subprocess.run(["wineserver", "-w"], env=self.env)

    def close(self):
        self.stop_server()
        shutil.rmtree(self.path, ignore_errors=True)

    def map_drive(self, letter, host_folder):
        """Makes a Unix folder the prefix's drive letter:."""
        os.symlink(host_folder, os.path.join(self.path, "dosdevices", letter.lower() + ":"))

    def wine(self, *args, timeout=300):
        # Started in C:\, so that "the current drive" is the prefix's own drive C: and never the Unix root.
        return subprocess.run(["wine", *args], env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=timeout, cwd=os.path.join(self.path, "drive_c"))

    def run_installer(self, *args):
        """Runs the installer with its output on a pipe: (exit status, output with CR LF made LF)."""
        done = self.wine(INSTALLER, *args)
        return done.returncode, done.stdout.decode("latin-1").replace("\r\n", "\n")

    def host_path(self, windows_path):
        """The Unix path of a path on drive C:."""
        assert windows_path[:3].upper() == "C:\\", windows_path
        return os.path.join(self.path, "drive_c", *windows_path[3:].split("\\"))

    def files_outside(self, own_folder):
        """Every file and folder of drive C: outside own_folder (a Windows path) and Wine's own "windows" and
        "users" folders, each with its size and modification time: what a run must leave as it was."""
        root = os.path.join(self.path, "drive_c")
        skipped = {os.path.join(root, "windows"), os.path.join(root, "users"), self.host_path(own_folder)}
        found = {}
        for folder, subfolders, files in os.walk(root):
            subfolders[:] = [name for name in subfolders if os.path.join(folder, name) not in skipped]
            for name in subfolders:
                found[os.path.join(folder, name)] = "folder"
            for name in files:
                status = os.lstat(os.path.join(folder, name))
                found[os.path.join(folder, name)] = (status.st_size, status.st_mtime_ns)
        return found

    def set_program_files(self, value):
        """The value ProgramFiles gets in new processes; None removes the variable."""
        if value is None:
            self.wine("reg", "delete", CURRENT_VERSION_KEY, "/v", "ProgramFilesDir", "/f")
        else:
            self.wine("reg", "add", CURRENT_VERSION_KEY, "/v", "ProgramFilesDir", "/t", "REG_SZ", "/d", value, "/f")


class PrefixTest(unittest.TestCase):
    """A test case that gets a fresh prefix in self.prefix."""

    def setUp(self):
        if not INSTALLER or not WORK:
            self.fail("QOR_INSTALLER and QOR_E2E_WORK must be set (the build's CTest does this)")
        self.prefix = WinePrefix()
        self.addCleanup(self.prefix.close)

    def run_keeping_the_rest(self, own_folder="C:\\Program Files\\Morvellan"):
        """Runs the installer and checks that it left drive C: as it was outside its own folder."""
        before = self.prefix.files_outside(own_folder)
        status, output = self.prefix.run_installer()
        self.assertEqual(self.prefix.files_outside(own_folder), before, "the run changed files outside its folder")
        return status, output
