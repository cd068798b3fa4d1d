"""Named pieces of the installer's console output, so that the expected transcript of a run is a list of
pieces in the order the stages print them."""

BANNER = "qor installer 3.14.0.0, 32-bit\n"
OS_LINE = 'os 6.1.7601.24059 => crt "current"\n'
DESTINATION = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\"
DESTINATION_LINE = "Destination: " + DESTINATION + "\n"
PAYLOAD_NAMES = ["qor.ua.matrix2.ctrl.exe", "qor.ua.matrix2.dev.exe", "qor.ua.matrix2.exe"]
COPYING_OK = "".join('Copying "%s"... ok\n' % name for name in PAYLOAD_NAMES)
CERTIFICATE_OK = "Generating default certificate... ok\n"
CERTIFICATE_SKIPPED = "Generating default certificate...\n  default certificate exists already. Will skip.\n"
REGISTERING_OK = 'Registering service "ZEVAREVI.MATRIX2"... ok\n'
ALREADY_REGISTERED = "Other services were already registered. Will not register any new!\n"
STARTING_SERVER_OK = 'Will start services...\n  service "ZEVAREVI.MATRIX2"... ok\n'
FIREWALL_START = "Will configure firewall...\n"
FIREWALL_EXCEPTION = '  exception for "qor.ua.matrix2.exe"...'
FIREWALL_OK = FIREWALL_START + FIREWALL_EXCEPTION + " ok\n"
SUCCEEDED = "installation SUCCEEDED!\n"
FAILED = "installation FAILED.\n"

# A run on a machine where nothing of the product exists yet.
CLEAN_INSTALL = [BANNER, OS_LINE, DESTINATION_LINE, COPYING_OK, CERTIFICATE_OK, REGISTERING_OK, FIREWALL_OK,
                 STARTING_SERVER_OK, SUCCEEDED]


def firewall_warning(hresult):
    """The firewall stage's line when the firewall answers with a failure."""
    return FIREWALL_START + FIREWALL_EXCEPTION + " failed: 0x%08x. Will attempt to continue...\n" % hresult


def replaced(pieces, old, new):
    """The transcript with one piece put in place of another."""
    assert old in pieces, old
    return [new if piece == old else piece for piece in pieces]
