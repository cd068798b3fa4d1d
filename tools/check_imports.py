#!/usr/bin/env python3
"""Fails when an exe imports a DLL that Windows does not always take from its system folder.

A DLL outside the KnownDLLs is looked up beside the exe first: one planted there (a download folder) runs
as administrator before main. The import table is read with the toolchain's objdump.

    check_imports.py OBJDUMP EXE
"""

import re
import subprocess
import sys

# KnownDLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs) of every Windows from Vista on,
# and kernel32's own dependencies that the loader maps before any search.
ALLOWED = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll",
    "rpcrt4.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "ws2_32.dll", "ntdll.dll",
}


def imported_dlls(objdump, exe):
    text = subprocess.run([objdump, "-p", exe], check=True, stdout=subprocess.PIPE).stdout.decode("latin-1")
    return re.findall(r"^\s*DLL Name: (\S+)\s*$", text, re.MULTILINE)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    dlls = imported_dlls(argv[1], argv[2])
    if not dlls:
        sys.stderr.write("check_imports: %s: no import table found\n" % argv[2])
        return 1
    foreign = [name for name in dlls if name.lower() not in ALLOWED]
    print("%s imports %s" % (argv[2], ", ".join(dlls)))
    if foreign:
        sys.stderr.write("check_imports: %s imports DLLs that may be loaded from beside it: %s\n"
                         % (argv[2], ", ".join(foreign)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
