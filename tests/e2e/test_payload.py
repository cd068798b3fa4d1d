"""Payload extraction under Wine: the three files arrive byte for byte, and a target file held open by another
process is retried, then given up or written once it is let go."""

import os
import subprocess
import unittest

from transcript import CERTIFICATE_OK, FIREWALL_OK, REGISTERING_OK, STARTING_SERVER_OK, SUCCEEDED
from wine_prefix import PrefixTest, helper, payload_source

BANNER = "qor installer 3.14.0.0, 32-bit\n"
HEAD = BANNER + 'os 6.1.7601.24059 => crt "current"\n' \
    + "Destination: C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\\n"
DESTINATION = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\"
NAMES = ["qor.ua.matrix2.ctrl.exe", "qor.ua.matrix2.dev.exe", "qor.ua.matrix2.exe"]
RETRY = "\n  retry in 5 sec....."
# What the stages after the extraction print on a first installation.
AFTER_COPYING = CERTIFICATE_OK + REGISTERING_OK + FIREWALL_OK + STARTING_SERVER_OK + SUCCEEDED
# The second file exists already: it is looked at for services and processes before it is replaced.
CHECKING_DEV = 'Discovering services for "qor.ua.matrix2.dev.exe"...\nChecking processes for "qor.ua.matrix2.dev.exe"...\n'


def copying(name, outcome=" ok\n"):
    return 'Copying "%s"...%s' % (name, outcome)


class PayloadTest(PrefixTest):
    def source(self, name):
        return payload_source(name)

    def installed(self, name):
        with open(self.prefix.host_path(DESTINATION + name), "rb") as f:
            return f.read()

    def hold(self, name):
        """Starts a process that holds the installed file open; it lets go when its input gets a line."""
        holder = subprocess.Popen(["wine", helper("hold_file"), DESTINATION + name], env=self.prefix.env,
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.addCleanup(holder.stdout.close)
        self.addCleanup(holder.wait, 60)
        self.addCleanup(holder.stdin.close)
        self.assertEqual(holder.stdout.readline().strip(), b"held")
        return holder

    def run_until(self, text, action):
        """Runs the installer, calls action() once its output contains text; (status, output)."""
        with subprocess.Popen(["wine", os.environ["QOR_INSTALLER"]], env=self.prefix.env,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL) as installer:
            output = b""
            while text.encode() not in output.replace(b"\r\n", b"\n"):
                piece = installer.stdout.read1(4096)
                if not piece:
                    break
                output += piece
            action()
            output += installer.stdout.read()
            return installer.wait(60), output.decode("latin-1").replace("\r\n", "\n")


class CleanRun(PayloadTest):
    def test_deploys_the_three_files_byte_for_byte(self):
        status, output = self.prefix.run_installer()
        self.assertEqual(output, HEAD + "".join(copying(n) for n in NAMES) + AFTER_COPYING)
        self.assertEqual(status, 0)
        for name in NAMES:
            self.assertTrue(self.installed(name) == self.source(name), name + " differs from its source")


class LockedFile(PayloadTest):
    def setUp(self):
        super().setUp()
        os.makedirs(self.prefix.host_path(DESTINATION), exist_ok=True)
        with open(self.prefix.host_path(DESTINATION + NAMES[1]), "wb") as f:
            f.write(b"the previous version")

    def test_held_for_the_whole_run_fails_after_three_retries(self):
        holder = self.hold(NAMES[1])
        status, output = self.run_until("installation FAILED.", lambda: None)
        holder.stdin.write(b"\n")
        holder.stdin.flush()
        self.assertEqual(output, HEAD + CHECKING_DEV + copying(NAMES[0]) + copying(NAMES[1], RETRY * 3)
                         + " failed: 0x00000020\ninstallation FAILED.\n")
        self.assertEqual(status, 1)
        self.assertEqual(self.installed(NAMES[1]), b"the previous version")
        self.assertFalse(os.path.exists(self.prefix.host_path(DESTINATION + NAMES[2])))

    def test_let_go_during_the_first_wait_is_written_at_the_second_attempt(self):
        holder = self.hold(NAMES[1])

        def let_go():
            holder.stdin.write(b"\n")
            holder.stdin.flush()

        status, output = self.run_until("retry in 5 sec", let_go)
        self.assertEqual(output, HEAD + CHECKING_DEV + copying(NAMES[0]) + copying(NAMES[1], RETRY + " ok\n")
                         + copying(NAMES[2]) + AFTER_COPYING)
        self.assertEqual(status, 0)
        self.assertTrue(self.installed(NAMES[1]) == self.source(NAMES[1]))


if __name__ == "__main__":
    unittest.main()
