"""Faults staged on the Linux side of a prefix: an immutable file, a read-only or small drive. Each needs a
privilege (root, CAP_LINUX_IMMUTABLE, CAP_SYS_ADMIN) or a filesystem feature the machine may lack; then the
test is skipped with the reason, never passed."""

import os
import subprocess

PAGE = 4096  # a small tmpfs drive is sized in whole pages, and each file takes whole pages of it


def run_or_skip(test, command, what):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if done.returncode != 0:
        test.skipTest("SKIP: this machine cannot %s (%s: %s)"
                      % (what, " ".join(command), done.stdout.decode(errors="replace").strip()))


def make_immutable(test, path):
    run_or_skip(test, ["chattr", "+i", path], "make a file immutable")
    test.addCleanup(subprocess.run, ["chattr", "-i", path])


def unmount(prefix, folder):
    prefix.stop_server()  # a service of the prefix may still run from the drive
    subprocess.run(["umount", folder])


def mount_tmpfs(test, prefix, folder, pages):
    os.makedirs(folder, exist_ok=True)
    run_or_skip(test, ["mount", "-t", "tmpfs", "-o", "size=%d" % (pages * PAGE), "tmpfs", folder],
                "mount a small tmpfs")
    test.addCleanup(unmount, prefix, folder)


def mount_read_only(test, prefix, folder):
    """Makes a folder read-only in place with a bind mount of itself."""
    run_or_skip(test, ["mount", "--bind", folder, folder], "bind-mount a folder")
    test.addCleanup(unmount, prefix, folder)
    run_or_skip(test, ["mount", "-o", "remount,bind,ro", folder], "remount a folder read-only")


def pages_of(data):
    return (len(data) + PAGE - 1) // PAGE
