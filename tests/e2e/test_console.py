"""Colours under Wine. With its output redirected to a file the installer writes the bare texts, CR LF line
ends and no escape codes; in a terminal (a pseudo-terminal here) Wine draws the console attributes as
escape sequences, and warnings come out in bright yellow, errors in bright red, everything else in the
terminal's own colours."""

import fcntl
import os
import pty
import re
import select
import struct
import subprocess
import termios
import time
import unittest

from transcript import (BANNER, CLEAN_INSTALL, FAILED, FIREWALL_EXCEPTION, FIREWALL_OK, FIREWALL_START, OS_LINE,
                        replaced)
from wine_prefix import INSTALLER, PrefixTest

NET_FW_MGR_CLASS = r"HKLM\Software\Classes\CLSID\{304CE942-6E39-40D8-943A-B913C40C9CD4}"
INFO, WARNING, ERROR = "info", "warning", "error"
# How Wine's console draws attribute 14 (bright yellow) and 12 (bright red) as SGR parameters.
SGR_LEVELS = {"93": WARNING, "91": ERROR}

# A run that only warns: the host has no firewall manager class.
WARNING_RUN = [(piece, INFO) for piece in replaced(CLEAN_INSTALL, FIREWALL_OK, FIREWALL_START + FIREWALL_EXCEPTION)]
WARNING_RUN.insert(-2, (" failed: 0x80040154. Will attempt to continue...\n", WARNING))
# A run that fails: Program Files names a folder that does not exist. The final message is not red.
ERROR_RUN = [(BANNER + OS_LINE, INFO), ('Failed to create dir "C:\\nowhere\\Morvellan": 0x00000003\n', ERROR),
             (FAILED, INFO)]


def plain(pieces):
    return "".join(text for text, _ in pieces)


def drawn_characters(raw):
    """The characters a terminal shows for Wine's output, in order, each with the level of the colour it was
    drawn in. Blank cells that Wine skips over with a cursor move count as blanks."""
    shown = []
    level = INFO
    position = 0
    while position < len(raw):
        if raw[position] == "\x1b":
            sequence = re.match(r"\x1b\[([?0-9;]*)([A-Za-z])", raw[position:])
            parameters, command = sequence.groups()
            if command == "m":
                level = INFO
                for parameter in parameters.split(";"):
                    level = SGR_LEVELS.get(parameter, level)
            elif command == "C":
                shown += [(" ", None)] * int(parameters or "1")
            position += sequence.end()
            continue
        if raw[position] != "\r":
            shown.append((raw[position], level))
        position += 1
    return shown


def expected_characters(pieces):
    return [(character, level) for text, level in pieces for character in text]


class ConsoleOutput(PrefixTest):
    def stage_runs(self):
        """Yields the two runs, each with its machine staged, and their expected pieces."""
        self.prefix.wine("reg", "delete", NET_FW_MGR_CLASS, "/f")
        yield "warning", WARNING_RUN, 0
        self.prefix.set_program_files("C:\\nowhere")
        yield "error", ERROR_RUN, 1

    def run_in_terminal(self):
        """Runs the installer on a 200-column pseudo-terminal: (exit status, everything it drew)."""
        pid, terminal = pty.fork()
        if pid == 0:  # the child: its standard streams are the terminal
            fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 200, 0, 0))
            os.chdir(os.path.join(self.prefix.path, "drive_c"))
            os.execvpe("wine", ["wine", INSTALLER], self.prefix.env)
        drawn = b""
        deadline = time.monotonic() + 300
        while time.monotonic() < deadline:
            ready, _, _ = select.select([terminal], [], [], 1)
            if not ready:
                continue
            try:
                piece = os.read(terminal, 4096)
            except OSError:  # the child has closed the terminal
                break
            if not piece:
                break
            drawn += piece
        os.close(terminal)
        _, status = os.waitpid(pid, 0)
        return os.waitstatus_to_exitcode(status), drawn.decode("latin-1")

    def test_output_redirected_to_a_file_holds_the_bare_texts(self):
        for name, pieces, expected_status in self.stage_runs():
            path = os.path.join(self.prefix.path, name + ".txt")
            with open(path, "wb") as output:
                status = subprocess.run(["wine", INSTALLER], env=self.prefix.env, stdout=output,
                                        stderr=subprocess.DEVNULL, cwd=os.path.join(self.prefix.path, "drive_c"),
                                        timeout=300).returncode
            with open(path, "rb") as output:
                self.assertEqual(output.read(), plain(pieces).replace("\n", "\r\n").encode(), name)
            self.assertEqual(status, expected_status, name)

    def test_in_a_terminal_warnings_are_yellow_and_errors_red(self):
        for name, pieces, expected_status in self.stage_runs():
            status, drawn = self.run_in_terminal()
            shown = drawn_characters(drawn)
            self.assertEqual("".join(character for character, _ in shown), plain(pieces), name)
            # Blanks show no colour: only the characters drawn are compared.
            self.assertEqual([entry for entry in shown if not entry[0].isspace()],
                             [entry for entry in expected_characters(pieces) if not entry[0].isspace()], name)
            self.assertEqual(status, expected_status, name)


if __name__ == "__main__":
    unittest.main()
