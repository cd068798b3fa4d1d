"""The installer core under Wine: help mode, a clean run, and Program Files values that cannot be used as they
are: absent, naming a missing folder, empty, or so long that a path below them does not fit."""

import os
import unittest

from transcript import BANNER, CLEAN_INSTALL, DESTINATION, DESTINATION_LINE, FAILED, OS_LINE
from wine_prefix import PrefixTest


class HelpMode(PrefixTest):
    def test_any_argument_prints_the_help_text_and_exits_with_1(self):
        for args in (["/?"], ["x", "-help"]):
            status, output = self.prefix.run_installer(*args)
            self.assertEqual(status, 1, args)
            self.assertEqual(output, BANNER + "\nOPTIONS\n  /help\n      show this help\n", args)
        self.assertFalse(os.path.exists(self.prefix.host_path("C:\\Program Files\\Morvellan")))


class CleanRun(PrefixTest):
    def test_creates_the_destination_and_succeeds(self):
        status, output = self.prefix.run_installer()
        self.assertEqual(output, "".join(CLEAN_INSTALL))
        self.assertEqual(status, 0)
        self.assertTrue(os.path.isdir(self.prefix.host_path(DESTINATION)))


class ProgramFiles(PrefixTest):
    def test_absent_variable_fails_with_envvar_not_found(self):
        self.prefix.set_program_files(None)
        status, output = self.prefix.run_installer()
        self.assertEqual(output, BANNER + OS_LINE + 'Failed to get "Program Files": 0x000000cb\n'
                         + "installation FAILED.\n")
        self.assertEqual(status, 1)

    def test_missing_folder_fails_on_the_makers_folder(self):
        self.prefix.set_program_files("C:\\Missing")
        status, output = self.prefix.run_installer()
        self.assertEqual(output, BANNER + OS_LINE + 'Failed to create dir "C:\\Missing\\Morvellan": 0x00000003\n'
                         + "installation FAILED.\n")
        self.assertEqual(status, 1)
        self.assertFalse(os.path.exists(self.prefix.host_path("C:\\Missing")))

    def test_an_empty_value_puts_the_folders_at_the_root_of_the_current_drive(self):
        self.prefix.set_program_files("")
        status, output = self.run_keeping_the_rest("C:\\Morvellan")  # started in C:\\
        root_destination = "\\Morvellan\\QOR.UA\\matrix2\\"
        self.assertEqual(output, "".join(CLEAN_INSTALL).replace(DESTINATION_LINE, "Destination: %s\n" % root_destination))
        self.assertEqual(status, 0)
        self.assertTrue(os.path.isfile(self.prefix.host_path("C:" + root_destination + "qor.ua.matrix2.exe")))

    def long_program_files(self, length):
        """An existing folder below C:\\Program Files whose path has exactly `length` characters."""
        path = "C:\\Program Files"
        while len(path) < length:
            path += "\\" + "p" * min(100, length - len(path) - 1)
        os.makedirs(self.prefix.host_path(path))
        self.prefix.set_program_files(path)
        return path

    def test_a_value_that_leaves_no_room_for_a_payload_name_fails_at_the_first_payload_path(self):
        program_files = self.long_program_files(214)  # a destination of 240 characters
        status, output = self.run_keeping_the_rest(program_files + "\\Morvellan")
        destination = program_files + "\\Morvellan\\QOR.UA\\matrix2\\"
        self.assertEqual(output, BANNER + OS_LINE + "Destination: %s\n" % destination + "internal error\n" + FAILED)
        self.assertEqual(status, 1)
        self.assertEqual(os.listdir(self.prefix.host_path(destination)), [])

    def test_a_value_too_long_for_the_destination_fails_keeping_the_folders_made_before(self):
        program_files = self.long_program_files(240)  # room for two of the three folder names
        status, output = self.run_keeping_the_rest(program_files + "\\Morvellan")
        self.assertEqual(output, BANNER + OS_LINE + "internal error\n" + FAILED)
        self.assertEqual(status, 1)
        self.assertEqual(os.listdir(self.prefix.host_path(program_files + "\\Morvellan\\QOR.UA")), [])


if __name__ == "__main__":
    unittest.main()
