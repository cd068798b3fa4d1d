"""The installer core under Wine: help mode, a clean run, and a Program Files folder that cannot be had."""

import os
import unittest

from wine_prefix import PrefixTest

BANNER = "qor installer 3.14.0.0, 32-bit\n"
OS_LINE = 'os 6.1.7601.24059 => crt "current"\n'
DESTINATION = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\"

# What the stages after the destination print on a clean run, one piece per stage in the order they run.
CLEAN_RUN_STAGES = [
    "Generating default certificate... ok\n",
]


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
        self.assertEqual(output, BANNER + OS_LINE + "Destination: " + DESTINATION + "\n"
                         + "".join(CLEAN_RUN_STAGES) + "installation SUCCEEDED!\n")
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


if __name__ == "__main__":
    unittest.main()
