"""The default key and certificate under Wine: a clean run makes both files, OpenSSL reads them, and a
second run in the same prefix leaves them alone; a key without its certificate is made anew with it, and two
files that exist are kept whatever they hold."""

import base64
import os
import re
import subprocess
import tempfile
import unittest

from wine_prefix import PrefixTest

DESTINATION = "C:\\Program Files\\Morvellan\\QOR.UA\\matrix2\\"
CERT = DESTINATION + "instances\\default\\.cert"
KEY = DESTINATION + "instances\\default\\.key"
MADE = "Generating default certificate... ok\n"
SKIPPED = "Generating default certificate...\n  default certificate exists already. Will skip.\n"


def openssl(*args, data=None):
    done = subprocess.run(["openssl", *args], input=data, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          check=True)
    return done.stdout


def der_element(data, offset):
    """(start of contents, end of element) of the DER element at offset."""
    length = data[offset + 1]
    start = offset + 2
    if length & 0x80:
        count = length & 0x7F
        length = int.from_bytes(data[start:start + count], "big")
        start += count
    return start, start + length


def signed_parts(der):
    """The tbsCertificate (whole element) and the signature bytes of a DER certificate."""
    body, _ = der_element(der, 0)
    _, tbs_end = der_element(der, body)
    _, algorithm_end = der_element(der, tbs_end)
    signature_start, signature_end = der_element(der, algorithm_end)
    return der[body:tbs_end], der[signature_start + 1:signature_end]  # after the unused-bits byte


class CertificateFiles(PrefixTest):
    def read(self, windows_path):
        with open(self.prefix.host_path(windows_path), "rb") as f:
            return f.read()

    def assert_crlf_pem(self, data, label):
        self.assertNotIn(b"\0", data)
        self.assertTrue(data.endswith(b"\r\n"), label)
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), label)  # no bare LF
        self.assertNotIn(b"\r\r", data)
        lines = data.decode("ascii").split("\r\n")[:-1]
        self.assertEqual(lines[0], "-----BEGIN %s-----" % label)
        self.assertEqual(lines[-1], "-----END %s-----" % label)
        body = lines[1:-1]
        self.assertTrue(all(len(line) == 64 for line in body[:-1]) and 0 < len(body[-1]) <= 64, label)
        return base64.b64decode("".join(body))

    def check_key(self, key):
        self.assert_crlf_pem(key, "RSA PRIVATE KEY")
        self.assertIn(b"RSA key ok", openssl("rsa", "-check", "-noout", data=key))
        text = openssl("rsa", "-noout", "-text", data=key).decode()
        self.assertIn("Private-Key: (2048 bit, 2 primes)", text)
        self.assertIn("publicExponent: 65537 (0x10001)", text)

    def check_certificate(self, cert, key):
        der = self.assert_crlf_pem(cert, "CERTIFICATE")
        text = openssl("x509", "-noout", "-text", data=cert).decode()
        self.assertIn("Version: 3 (0x2)", text)
        self.assertIn("Serial Number: 1 (0x1)", text)
        self.assertEqual(text.count("Signature Algorithm: sha256WithRSAEncryption"), 2)
        self.assertIn("Issuer: CN = qor VARAV installer\n", text)
        self.assertIn("Subject: CN = qor VARAV installer\n", text)
        extensions = re.findall(r"X509v3 ([A-Z][A-Za-z ]+):( critical)?", text)
        self.assertEqual(extensions, [("Basic Constraints", ""), ("Subject Key Identifier", ""),
                                      ("Authority Key Identifier", ""), ("Key Usage", " critical")])
        self.assertIn("Digital Signature, Data Encipherment\n", text)
        dates = openssl("x509", "-noout", "-startdate", "-enddate", "-dateopt", "iso_8601", data=cert).decode()
        start = re.search(r"notBefore=(\d{4})(-\d\d-\d\d \d\d:\d\d:\d\dZ)", dates)
        end = re.search(r"notAfter=(\d{4})(-\d\d-\d\d \d\d:\d\d:\d\dZ)", dates)
        self.assertEqual(int(end.group(1)), int(start.group(1)) + 30)
        if start.group(2)[:6] != "-02-29":
            self.assertEqual(end.group(2), start.group(2))
        # The certificate's key is the key file's, and the signature verifies with it.
        public = openssl("x509", "-noout", "-pubkey", data=cert)
        self.assertEqual(public, openssl("rsa", "-pubout", data=key))
        tbs, signature = signed_parts(der)
        with tempfile.TemporaryDirectory() as work:
            paths = {name: os.path.join(work, name) for name in ("pub.pem", "sig", "tbs")}
            for name, content in (("pub.pem", public), ("sig", signature), ("tbs", tbs)):
                with open(paths[name], "wb") as f:
                    f.write(content)
            self.assertIn(b"Verified OK", openssl("dgst", "-sha256", "-verify", paths["pub.pem"],
                                                  "-signature", paths["sig"], paths["tbs"]))

    def test_a_clean_run_makes_both_files_and_a_second_run_keeps_them(self):
        status, output = self.prefix.run_installer()
        self.assertEqual(status, 0, output)
        self.assertIn("\n" + MADE, output)
        key, cert = self.read(KEY), self.read(CERT)
        self.check_key(key)
        self.check_certificate(cert, key)

        status, output = self.prefix.run_installer()
        self.assertEqual(status, 0, output)
        self.assertIn("\n" + SKIPPED, output)
        self.assertEqual(self.read(KEY), key)
        self.assertEqual(self.read(CERT), cert)

    def write(self, windows_path, data):
        path = self.prefix.host_path(windows_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    def test_a_key_without_its_certificate_is_made_anew_with_it(self):
        self.write(KEY, b"a key of an installation that did not finish\r\n")
        status, output = self.run_keeping_the_rest()
        self.assertEqual(status, 0, output)
        self.assertIn("\n" + MADE, output)
        key, cert = self.read(KEY), self.read(CERT)
        self.check_key(key)
        self.check_certificate(cert, key)

    def test_two_empty_files_count_as_present_and_stay_untouched(self):
        for path in (KEY, CERT):
            self.write(path, b"")
        status, output = self.run_keeping_the_rest()
        self.assertEqual(status, 0, output)
        self.assertIn("\n" + SKIPPED, output)
        self.assertEqual((self.read(KEY), self.read(CERT)), (b"", b""))


if __name__ == "__main__":
    unittest.main()
