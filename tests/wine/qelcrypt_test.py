#!/usr/bin/env python3
"""qelcrypt.exe under 64-bit Wine beside the Linux qelcrypt: what one encrypts the other decrypts byte
for byte, arguments beyond the ANSI code page arrive, -o replaces a file whole, and both say the same
Norwegian error. The Linux qelcrypt's own suite (tests/cli) covers the rest of its behaviour.

    qelcrypt_test.py FOLDER_WITH_QELCRYPT_EXE LINUX_QELCRYPT [unittest arguments]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

EXE = LINUX = PREFIX = None
WINE = shutil.which("wine64", path="/usr/lib/wine:" + os.environ["PATH"])
ENV = {}

ROWS = {
    "røver x3, CR LF and æøå": (["-p", "røver", "-n", "3"], "Hei på deg\r\nlinje to, ÆØÅ\r\n"),
    "begge strong x2, outside the BMP": (["-p", "begge", "-s", "-n", "2"], "Blåbærsyltetøy 😀 𝄞"),
    "vignere with a Norwegian key": (["-p", "vignere", "-k", "Nøkkelord"], "a\rb\nc"),
}
KEY = "NØKKELORD"  # the key travels with -k; the other protocols carry theirs in the text


def windows(*args, stdin=b"", cwd=None):
    return subprocess.run([WINE, EXE, *args], input=stdin, capture_output=True, timeout=120, env=ENV, cwd=cwd)


def linux(*args, stdin=b""):
    return subprocess.run([LINUX, *args], input=stdin, capture_output=True, timeout=60)


def setUpModule():
    global PREFIX
    PREFIX = tempfile.mkdtemp()
    ENV.update(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    ENV.pop("DISPLAY", None)  # a console program: no windows, no X server
    subprocess.run([WINE, "wineboot", "-i"], env=ENV, capture_output=True, timeout=300, check=True)
    # The prefix is ready once what wineboot started has ended.
    subprocess.run(["/usr/lib/wine/wineserver", "-w"], env=ENV, timeout=300, check=True)


def tearDownModule():
    subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=ENV, timeout=60)
    shutil.rmtree(PREFIX, ignore_errors=True)


class Across(unittest.TestCase):
    def test_each_decrypts_what_the_other_encrypted(self):
        for name, (options, text) in ROWS.items():
            for encrypt, decrypt, direction in ((windows, linux, "windows to linux"),
                                                (linux, windows, "linux to windows")):
                with self.subTest(name, direction=direction):
                    encrypted = encrypt("krypter", *options, stdin=text.encode())
                    self.assertEqual(encrypted.returncode, 0, encrypted.stderr.decode())
                    self.assertNotEqual(encrypted.stdout, text.encode())
                    decrypted = decrypt("dekrypter", "-k", KEY, stdin=encrypted.stdout)
                    self.assertEqual((decrypted.returncode, decrypted.stdout.decode()), (0, text))

    def test_same_error_for_a_missing_file(self):
        missing = "finnes-ikke-ø.txt"
        mine, theirs = windows("krypter", "-i", missing), linux("krypter", "-i", missing)
        # Windows ends the lines of a text stream with CR LF.
        self.assertEqual((mine.returncode, mine.stderr.replace(b"\r\n", b"\n")), (theirs.returncode, theirs.stderr))
        self.assertIn("Kan ikke lese finnes-ikke-ø.txt", mine.stderr.decode())


class OutputFile(unittest.TestCase):
    def test_replaced_whole_under_a_norwegian_name(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "utdata-ø.txt")
            for text in ("først en lang tekst\r\n" * 50, "så en kort"):
                result = windows("krypter", "-p", "crypt", "-o", "utdata-ø.txt", stdin=text.encode(), cwd=folder)
                self.assertEqual((result.returncode, result.stdout), (0, b""), result.stderr.decode())
                with open(path, "rb") as f:
                    self.assertEqual(linux("dekrypter", stdin=f.read()).stdout.decode(), text)
            self.assertEqual(os.listdir(folder), ["utdata-ø.txt"])  # no temporary file left

    def test_nul_takes_the_text_as_a_device(self):
        with tempfile.TemporaryDirectory() as folder:
            discarded = windows("krypter", "-p", "crypt", "-o", "NUL", stdin=b"Hei", cwd=folder)
            self.assertEqual((discarded.returncode, discarded.stderr, os.listdir(folder)), (0, b"", []))


if __name__ == "__main__":
    EXE = os.path.join(os.path.realpath(sys.argv.pop(1)), "qelcrypt.exe")
    LINUX = os.path.realpath(sys.argv.pop(1))
    unittest.main(verbosity=2)
