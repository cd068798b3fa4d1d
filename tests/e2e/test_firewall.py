"""The firewall stage under Wine. Wine's firewall is a stub: every lookup finds a disabled entry and Add
succeeds, so a run always adds its entry; what is left to see is the console line, and that a host without
the firewall's classes only warns."""

import unittest

from transcript import CLEAN_INSTALL, FIREWALL_OK, firewall_warning, replaced
from wine_prefix import PrefixTest

NET_FW_MGR_CLASS = r"HKLM\Software\Classes\CLSID\{304CE942-6E39-40D8-943A-B913C40C9CD4}"
REGDB_E_CLASSNOTREG = 0x80040154


class FirewallException(PrefixTest):
    def test_every_run_adds_the_exception_and_succeeds(self):
        for run in ("clean", "update"):
            status, output = self.prefix.run_installer()
            self.assertIn(FIREWALL_OK, output, run)
            self.assertEqual(status, 0, run)

    def test_a_host_without_the_firewall_manager_class_only_warns(self):
        self.prefix.wine("reg", "delete", NET_FW_MGR_CLASS, "/f")
        status, output = self.prefix.run_installer()
        self.assertEqual(output, "".join(replaced(CLEAN_INSTALL, FIREWALL_OK, firewall_warning(REGDB_E_CLASSNOTREG))))
        self.assertEqual(status, 0)


if __name__ == "__main__":
    unittest.main()
