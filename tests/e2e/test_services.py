"""Services and processes under Wine's real service manager: registration, discovery, stop and restart,
and killing a process that runs a payload file. Copies of Wine's own programs are put where a payload goes
before a run, as an earlier installation would have left it: spoolsv.exe is a real service program, cmd.exe
a process that can be left running. The run then replaces them with the installer's own files."""

import os
import re
import shutil
import subprocess
import time
import unittest

from transcript import (ALREADY_REGISTERED, BANNER, CERTIFICATE_OK, CERTIFICATE_SKIPPED, COPYING_OK, DESTINATION,
                        DESTINATION_LINE, FAILED, FIREWALL_OK, OS_LINE, PAYLOAD_NAMES, REGISTERING_OK,
                        STARTING_SERVER_OK, SUCCEEDED)
from wine_prefix import PrefixTest, helper, payload_source

HEAD = BANNER + OS_LINE + DESTINATION_LINE
KILLED = r"  will kill process [1-9][0-9]*\.\.\. ok\n"
SERVER = DESTINATION + "qor.ua.matrix2.exe"
SERVICE_KEY = r"HKLM\System\CurrentControlSet\Services\ZEVAREVI.MATRIX2"


class ServicePrefixTest(PrefixTest):
    def stage(self, system_program, payload_name):
        """Copies one of Wine's programs into the destination under a payload's name."""
        folder = self.prefix.host_path(DESTINATION.rstrip("\\"))
        os.makedirs(folder, exist_ok=True)
        shutil.copy(self.prefix.host_path("C:\\windows\\system32\\" + system_program),
                    os.path.join(folder, payload_name))

    def service_values(self, key=SERVICE_KEY):
        done = self.prefix.wine("reg", "query", key)
        values = {}
        for line in done.stdout.decode("latin-1").splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2]
        return values


class Registration(ServicePrefixTest):
    def test_a_clean_install_registers_and_starts_the_server_and_a_second_run_restarts_it(self):
        self.stage("spoolsv.exe", "qor.ua.matrix2.exe")
        status, output = self.prefix.run_installer()
        self.assertEqual(output, HEAD
                         + 'Discovering services for "qor.ua.matrix2.exe"...\n'
                         + 'Checking processes for "qor.ua.matrix2.exe"...\n'
                         + COPYING_OK + CERTIFICATE_OK + REGISTERING_OK + FIREWALL_OK + STARTING_SERVER_OK + SUCCEEDED)
        self.assertEqual(status, 0)
        values = self.service_values()
        self.assertEqual(values.get("ImagePath"), '"' + SERVER + '"')
        self.assertEqual(values.get("Start"), "0x2")
        self.assertEqual(values.get("Type"), "0x10")
        self.assertEqual(values.get("ObjectName"), "LocalSystem")
        self.assertEqual(values.get("DisplayName"), "qor VARAV server for MAZAK MAZATROL MATRIX2")

        status, output = self.prefix.run_installer()
        self.assertEqual(output, HEAD
                         + "".join('Discovering services for "%s"...\n' % name for name in PAYLOAD_NAMES)
                         + "  ZEVAREVI.MATRIX2 -> running\n"
                         + "Will stop services...\n"
                         + '  service "ZEVAREVI.MATRIX2"... ok\n'
                         + "".join('Checking processes for "%s"...\n' % name for name in PAYLOAD_NAMES)
                         + COPYING_OK + CERTIFICATE_SKIPPED + ALREADY_REGISTERED + FIREWALL_OK + STARTING_SERVER_OK
                         + SUCCEEDED)
        self.assertEqual(status, 0)

    def test_the_service_name_taken_by_another_file_fails_before_any_start(self):
        self.prefix.wine("sc", "create", "ZEVAREVI.MATRIX2", "binPath=", "C:\\windows\\system32\\spoolsv.exe")
        status, output = self.prefix.run_installer()
        self.assertEqual(output, HEAD + COPYING_OK + CERTIFICATE_OK
                         + 'Registering service "ZEVAREVI.MATRIX2"... failed: 0x00000431\n' + FAILED)
        self.assertEqual(status, 1)
        self.assertEqual(self.service_values().get("ImagePath"), "C:\\windows\\system32\\spoolsv.exe")


class Discovery(ServicePrefixTest):
    def test_a_stopped_service_of_the_server_file_is_listed_left_stopped_and_not_registered_again(self):
        self.stage("spoolsv.exe", "qor.ua.matrix2.exe")
        done = self.prefix.wine("sc", "create", "Staged.Server", "binPath=", '"' + SERVER + '" -instance 2')
        self.assertEqual(done.returncode, 0, done.stdout)
        status, output = self.prefix.run_installer()
        self.assertEqual(output, HEAD
                         + 'Discovering services for "qor.ua.matrix2.exe"...\n'
                         + "  Staged.Server -> stopped\n"
                         + 'Checking processes for "qor.ua.matrix2.exe"...\n'
                         + COPYING_OK + CERTIFICATE_OK + ALREADY_REGISTERED + FIREWALL_OK + SUCCEEDED)
        self.assertEqual(status, 0)
        self.assertEqual(self.service_values(), {})  # ZEVAREVI.MATRIX2 was not created


class ProcessTermination(ServicePrefixTest):
    def test_a_process_started_from_a_payload_file_is_killed(self):
        self.stage("cmd.exe", "qor.ua.matrix2.ctrl.exe")
        # Left alone, this process runs for about 100 seconds.
        tool = subprocess.Popen(["wine", DESTINATION + "qor.ua.matrix2.ctrl.exe", "/c", "ping -n 100 127.0.0.1 >nul"],
                                env=self.prefix.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.addCleanup(tool.kill)
        time.sleep(3)
        status, output = self.prefix.run_installer()
        self.assertRegex(output, "^" + re.escape(HEAD
                         + 'Discovering services for "qor.ua.matrix2.ctrl.exe"...\n'
                         + 'Checking processes for "qor.ua.matrix2.ctrl.exe"...\n')
                         + r"  will kill process [1-9][0-9]*\.\.\. ok\n"
                         + re.escape(COPYING_OK + CERTIFICATE_OK + REGISTERING_OK + FIREWALL_OK + STARTING_SERVER_OK
                                     + SUCCEEDED) + "$")
        self.assertEqual(status, 0)
        self.assertEqual(tool.wait(timeout=30), 0)  # TerminateProcess's exit code, long before ping ends

    def test_processes_started_through_a_short_name_or_in_other_letter_case_are_killed(self):
        self.stage("cmd.exe", "qor.ua.matrix2.ctrl.exe")
        self.stage("cmd.exe", "qor.ua.matrix2.dev.exe")
        done = self.prefix.wine(helper("short_path"), DESTINATION + "qor.ua.matrix2.ctrl.exe")
        short_name = done.stdout.decode().strip()
        self.assertRegex(short_name, r"~.*\\QOR_~\w+\.EXE$", "not an 8.3 form")
        tools = []
        for path in (short_name, (DESTINATION + "qor.ua.matrix2.dev.exe").upper()):
            tool = subprocess.Popen(["wine", path, "/c", "ping -n 100 127.0.0.1 >nul"], env=self.prefix.env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.addCleanup(tool.kill)
            tools.append(tool)
        time.sleep(3)
        status, output = self.prefix.run_installer()
        looked_at = "".join('Discovering services for "%s"...\n' % name for name in PAYLOAD_NAMES[:2])
        self.assertRegex(output, "^" + re.escape(HEAD + looked_at + 'Checking processes for "qor.ua.matrix2.ctrl.exe"...\n')
                         + KILLED + re.escape('Checking processes for "qor.ua.matrix2.dev.exe"...\n') + KILLED
                         + re.escape(COPYING_OK + CERTIFICATE_OK + REGISTERING_OK + FIREWALL_OK + STARTING_SERVER_OK
                                     + SUCCEEDED) + "$")
        self.assertEqual([tool.wait(timeout=30) for tool in tools], [0, 0])


class StubbornService(ServicePrefixTest):
    def test_a_bound_service_that_refuses_to_stop_is_killed_replaced_and_started_again(self):
        folder = self.prefix.host_path(DESTINATION.rstrip("\\"))
        os.makedirs(folder)
        shutil.copy(helper("stubborn_service"), os.path.join(folder, "qor.ua.matrix2.exe"))
        self.prefix.wine("sc", "create", "Stubborn.Server", "binPath=", '"' + SERVER + '"')
        self.prefix.wine("sc", "start", "Stubborn.Server")
        status, output = self.run_keeping_the_rest()
        self.assertRegex(output, "^" + re.escape(HEAD
                         + 'Discovering services for "qor.ua.matrix2.exe"...\n'
                         + "  Stubborn.Server -> running\n"
                         + "Will stop services...\n"
                         + '  service "Stubborn.Server"... failed: 0x0000041c. Will attempt to continue...\n'
                         + 'Checking processes for "qor.ua.matrix2.exe"...\n')
                         + KILLED
                         + re.escape(COPYING_OK + CERTIFICATE_OK + ALREADY_REGISTERED + FIREWALL_OK
                                     + 'Will start services...\n  service "Stubborn.Server"... ok\n' + SUCCEEDED) + "$")
        self.assertEqual(status, 0)
        with open(os.path.join(folder, "qor.ua.matrix2.exe"), "rb") as f:
            self.assertTrue(f.read() == payload_source("qor.ua.matrix2.exe"))
        # The service now runs the installed server, which stops when asked.
        done = self.prefix.wine("sc", "stop", "Stubborn.Server")
        self.assertEqual(done.returncode, 0, done.stdout)


class ManyServices(ServicePrefixTest):
    def test_four_hundred_more_services_end_discovery_with_its_warning_without_a_hang(self):
        status, output = self.prefix.run_installer()
        self.assertEqual(status, 0, output)
        done = self.prefix.wine(helper("add_services"), "400", "Extra.Service.", "C:\\windows\\system32\\spoolsv.exe -k extra")
        self.assertEqual(done.returncode, 0, done.stdout)
        # Wine's manager answers a buffer that cannot hold every service with 234 and nothing in it, and does
        # not move on: each payload's discovery ends with that warning. The running server is then not
        # stopped but killed, and registering it again finds its name taken.
        status, output = self.run_keeping_the_rest()
        warning = "  failed to enum services: 0x000000ea. Will attempt to continue...\n"
        self.assertRegex(output, "^" + re.escape(HEAD
                         + "".join('Discovering services for "%s"...\n' % name + warning for name in PAYLOAD_NAMES)
                         + "".join('Checking processes for "%s"...\n' % name for name in PAYLOAD_NAMES))
                         + KILLED
                         + re.escape(COPYING_OK + CERTIFICATE_SKIPPED
                                     + 'Registering service "ZEVAREVI.MATRIX2"... failed: 0x00000431\n' + FAILED) + "$")
        self.assertEqual(status, 1)


if __name__ == "__main__":
    unittest.main()
