"""Files that cannot be written, staged for real under Wine: an immutable payload file, a read-only drive as
the destination's drive, and a small drive that fills up during the extraction or the certificate. Wine
passes the Linux errors on as Windows codes: EPERM and EROFS as access denied (5), ENOSPC as a full disk
(0x70). Whatever was on disk before stays as it was, and nothing cut short is reported as written."""

import os
import unittest

from staging import make_immutable, mount_read_only, mount_tmpfs, pages_of
from transcript import (BANNER, CERTIFICATE_OK, COPYING_OK, DESTINATION, DESTINATION_LINE, FAILED, OS_LINE,
                        PAYLOAD_NAMES)
from wine_prefix import PrefixTest, payload_source

CTRL, DEV, SERVER = PAYLOAD_NAMES


def copying(name, outcome=" ok\n"):
    return 'Copying "%s"...%s' % (name, outcome)


def looked_at(name):
    """What discovery and process termination print for a payload file that exists already."""
    return 'Discovering services for "%s"...\nChecking processes for "%s"...\n' % (name, name)


class ImmutableFile(PrefixTest):
    def test_an_immutable_payload_file_fails_at_once_with_access_denied(self):
        os.makedirs(self.prefix.host_path(DESTINATION))
        dev = self.prefix.host_path(DESTINATION + DEV)
        with open(dev, "wb") as f:
            f.write(b"the previous version")
        make_immutable(self, dev)
        status, output = self.run_keeping_the_rest()
        self.assertEqual(output, BANNER + OS_LINE + DESTINATION_LINE + looked_at(DEV) + copying(CTRL)
                         + copying(DEV, " failed: 0x00000005\n") + FAILED)  # no retry: only 32 is retried
        self.assertEqual(status, 1)
        with open(dev, "rb") as f:
            self.assertEqual(f.read(), b"the previous version")
        self.assertFalse(os.path.exists(self.prefix.host_path(DESTINATION + SERVER)))


class ReadOnlyDrive(PrefixTest):
    def test_a_read_only_destination_drive_fails_at_once_with_access_denied(self):
        drive = os.path.join(self.prefix.path, "read-only-drive")
        folder = os.path.join(drive, "Morvellan", "QOR.UA", "matrix2")
        os.makedirs(folder)
        with open(os.path.join(folder, CTRL), "wb") as f:
            f.write(b"the previous version")
        mount_read_only(self, self.prefix, drive)
        self.prefix.map_drive("R", drive)
        self.prefix.set_program_files("R:\\")
        status, output = self.run_keeping_the_rest()
        self.assertEqual(output, BANNER + OS_LINE + "Destination: R:\\Morvellan\\QOR.UA\\matrix2\\\n"
                         + looked_at(CTRL) + copying(CTRL, " failed: 0x00000005\n") + FAILED)
        self.assertEqual(status, 1)
        self.assertEqual(sorted(os.listdir(folder)), [CTRL])
        with open(os.path.join(folder, CTRL), "rb") as f:
            self.assertEqual(f.read(), b"the previous version")


class FullDrive(PrefixTest):
    """Drive Q: is a tmpfs of a few pages, and Program Files is its root."""

    def install_on_drive(self, pages):
        drive = os.path.join(self.prefix.path, "small-drive")
        mount_tmpfs(self, self.prefix, drive, pages)
        self.prefix.map_drive("Q", drive)
        self.prefix.set_program_files("Q:\\")
        status, output = self.run_keeping_the_rest()
        return status, output, os.path.join(drive, "Morvellan", "QOR.UA", "matrix2")

    def test_a_drive_that_fills_during_the_extraction_fails_with_disk_full(self):
        # Room for the first file and half of the second.
        status, output, folder = self.install_on_drive(pages_of(payload_source(CTRL)) + pages_of(payload_source(DEV)) // 2)
        self.assertEqual(output, BANNER + OS_LINE + "Destination: Q:\\Morvellan\\QOR.UA\\matrix2\\\n" + copying(CTRL)
                         + copying(DEV, " failed: 0x00000070\n") + FAILED)
        self.assertEqual(status, 1)
        with open(os.path.join(folder, DEV), "rb") as f:
            self.assertLess(len(f.read()), len(payload_source(DEV)))
        self.assertFalse(os.path.exists(os.path.join(folder, SERVER)))

    def test_a_drive_that_fills_before_the_key_is_written_fails_the_certificate(self):
        # Room for the three files and nothing more: the key's text stays in the runtime's buffer.
        status, output, folder = self.install_on_drive(sum(pages_of(payload_source(name)) for name in PAYLOAD_NAMES))
        self.assertEqual(output, BANNER + OS_LINE + "Destination: Q:\\Morvellan\\QOR.UA\\matrix2\\\n" + COPYING_OK
                         + CERTIFICATE_OK.replace(" ok\n", " failed: -1\n") + FAILED)
        self.assertEqual(status, 1)
        for name in PAYLOAD_NAMES:
            with open(os.path.join(folder, name), "rb") as f:
                self.assertTrue(f.read() == payload_source(name), name)
        self.assertFalse(os.path.exists(os.path.join(folder, "instances", "default", ".cert")))


if __name__ == "__main__":
    unittest.main()
