#!/usr/bin/env python3
"""qelcrypt as a script uses it: bytes in, bytes out, exit status and the Norwegian texts.

    qelcrypt_test.py QELCRYPT [unittest arguments]
"""
import os
import resource
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import unittest

QELCRYPT = None

MISSING_KEY = "Vennligst sett en CryptKey først!"
INVALID_KEY = "Key'en er ugyldig og blir ikke satt!"
OVERFLOW = "For mye tekst, prøv i flere omganger"


def run(*args, stdin=b""):
    return subprocess.run([QELCRYPT, *args], input=stdin, capture_output=True, timeout=60)


# Texts whose every byte must come back: line breaks of every kind, no break at the end or one
# there, Norwegian letters, characters outside the Basic Multilingual Plane.
TEXTS = {
    "CR LF": "Hei på deg\r\nHer er linje to\r\n",
    "lone LF at the end": "én linje\n",
    "lone CR and LF inside": "a\rb\nc\r\n",
    "æøå ÆØÅ": "Blåbærsyltetøy på ÆØÅ-tastene",
    "outside the BMP": "𝄞 musikk 😀 og 𐍈",
    "one character": "x",
}

ENCRYPTIONS = {
    "crypt": ["-p", "crypt"],
    "røver": ["-p", "røver"],
    "rover strong x3": ["-p", "rover", "-s", "-n", "3"],
    "begge x10": ["-p", "begge", "-n", "10"],
    "begge strong x0": ["-p", "begge", "-s", "-n", "0"],
    "vignere": ["-p", "vignere", "-k", "Nøkkelord"],
}


class RoundTrip(unittest.TestCase):
    def test_every_protocol_gives_back_every_byte(self):
        for text_name, text in TEXTS.items():
            for how, options in ENCRYPTIONS.items():
                with self.subTest(text=text_name, encryption=how):
                    encrypted = run("krypter", *options, stdin=text.encode())
                    self.assertEqual(encrypted.returncode, 0, encrypted.stderr.decode())
                    if how.endswith("x0"):  # no pass: the text as it came, without a header
                        self.assertEqual(encrypted.stdout, text.encode())
                        continue
                    self.assertNotEqual(encrypted.stdout, text.encode())
                    # -p only matters for text without a header, and the key travels with -k.
                    decrypted = run("decrypt", "-p", "crypt", "-k", "NØKKELORD", stdin=encrypted.stdout)
                    self.assertEqual((decrypted.returncode, decrypted.stdout), (0, text.encode()))

    def test_crypt_output_is_the_reversal_inside_one_header(self):
        text = "ab\r\ncd\n😀"
        out = run("krypter", "-p", "crypt", "--seed", "3", stdin=text.encode()).stdout.decode()
        self.assertEqual(len(out), len(text) + 6)
        position = int(out[:3])
        body = out[3 : position - 1] + out[position + 2 :]
        self.assertEqual((out[position - 1 : position + 2], body), ("a01", text[::-1]))

    def test_seed_repeats_the_random_choices(self):
        texts = [run("krypter", "-p", "begge", "-s", "-n", "3", "--seed", "42", stdin=b"Hemmelig").stdout
                 for _ in range(2)]
        self.assertEqual(texts[0], texts[1])

    def test_key_file_and_key_option_agree(self):
        with tempfile.NamedTemporaryFile() as key:
            key.write("nøkkelord\n".encode())
            key.flush()
            from_file = run("krypter", "--key-file", key.name, "--seed", "1", stdin=b"Tekst")
        from_option = run("krypter", "-k", "NOKKELORD", "--seed", "1", stdin=b"Tekst")
        self.assertEqual(from_file.returncode, 0)
        self.assertNotEqual(from_file.stdout, from_option.stdout)  # Ø is a letter of its own
        self.assertEqual(from_file.stdout, run("krypter", "-k", "NØKKELORD", "--seed", "1", stdin=b"Tekst").stdout)


class Failures(unittest.TestCase):
    ROWS = {
        # name: (arguments, standard input, exit status, the first line of standard error)
        "vignere without a key": (["krypter"], b"Tekst", 1, MISSING_KEY),
        "key of three letters": (["krypter", "-k", "a1b2c"], b"Tekst", 1, INVALID_KEY),
        "vignere header, no key to decrypt": (["dekrypter"], b"004f01Tekst", 1, INVALID_KEY),
        "røver pass past its limit": (["krypter", "-p", "røver"], b"b" * 11000, 1, OVERFLOW),
        "fourteen passes outgrow any text": (["krypter", "-p", "begge", "-n", "14"], b"x", 1, OVERFLOW),
        "headerless text for vignere": (["dekrypter"], b"Tekst", 1,
                                        "Teksten har ikke noe hode, og Vignere dekrypterer bare tekst med hode."),
        "empty text": (["krypter", "-p", "crypt"], b"", 1, "Teksten er tom."),
        "cut-off sequence": (["krypter", "-p", "crypt"], b"ab\xc3(", 1,
                             "standard inn er ikke gyldig UTF-8 (byte 2)"),
        "overlong slash": (["krypter", "-p", "crypt"], b"\xc0\xaf", 1, "standard inn er ikke gyldig UTF-8 (byte 0)"),
        "surrogate": (["krypter", "-p", "crypt"], "æ".encode() + b"\xed\xa0\x80", 1,
                      "standard inn er ikke gyldig UTF-8 (byte 2)"),
        "missing input file": (["krypter", "-p", "crypt", "-i", "/nonexistent/x"], b"", 1,
                               "Kan ikke lese /nonexistent/x: Finner ikke filen"),
        "unknown option": (["krypter", "-x"], b"", 2, "Ukjent valg: -x"),
        "unknown protocol": (["krypter", "-p", "rot13"], b"", 2,
                             "Ukjent protokoll: rot13 (crypt, røver, begge eller vignere)"),
        "no command": (["-p", "crypt"], b"", 2, "Mangler kommando: krypter eller dekrypter."),
        "fifteen passes": (["krypter", "-p", "røver", "-n", "15"], b"x", 2, "Grensen er 15 ganger!"),
        "no passes for crypt": (["krypter", "-p", "crypt", "-n", "0"], b"x", 2,
                                "Andre omganger enn én går bare med røver og begge."),
        "strong for vignere": (["krypter", "-s", "-k", "abcd"], b"x", 2,
                               "Strong fungerer bare ved bruk av Røver protokollen."),
        "key twice": (["krypter", "-k", "abcd", "--key-file", "k"], b"x", 2,
                      "Gi enten -k eller --key-file, ikke begge."),
    }

    def test_rows(self):
        for name, (arguments, stdin, status, message) in self.ROWS.items():
            with self.subTest(name):
                result = run(*arguments, stdin=stdin)
                self.assertEqual(result.returncode, status)
                self.assertEqual(result.stdout, b"")
                self.assertEqual(result.stderr.decode().splitlines()[0], "qelcrypt: " + message)
                if status == 2:
                    self.assertIn("qelcrypt --help", result.stderr.decode())

    def test_help_and_version(self):
        for option, expected in (("--help", "Bruk: qelcrypt krypter"), ("-V", "qelcrypt (qelCrypto)")):
            with self.subTest(option):
                result = run(option)
                self.assertEqual((result.returncode, result.stderr), (0, b""))
                self.assertTrue(result.stdout.decode().startswith(expected))


class OutputFile(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.directory.name, "ut.txt")

    def tearDown(self):
        self.directory.cleanup()

    def write(self, path, data):
        with open(path, "wb") as f:
            f.write(data)

    def read(self, path):
        with open(path, "rb") as f:
            return f.read()

    def test_replaced_only_by_a_whole_result(self):
        self.write(self.path, b"gammel")
        os.chmod(self.path, 0o640)
        failed = run("krypter", "-o", self.path, stdin=b"Tekst")  # no key: fails
        self.assertEqual((failed.returncode, self.read(self.path)), (1, b"gammel"))
        done = run("krypter", "-p", "crypt", "-o", self.path, "-i", self.path, stdin=b"")
        self.assertEqual(done.returncode, 0)
        self.assertEqual(run("dekrypter", "-i", self.path).stdout, b"gammel")
        self.assertEqual(os.stat(self.path).st_mode & 0o777, 0o640)
        self.assertEqual(os.listdir(self.directory.name), ["ut.txt"])

    def test_a_link_in_its_place_is_replaced_not_followed(self):
        target = os.path.join(self.directory.name, "mål.txt")
        self.write(target, "urørt".encode())
        os.symlink(target, self.path)
        self.assertEqual(run("krypter", "-p", "crypt", "-o", self.path, stdin=b"ny").returncode, 0)
        self.assertFalse(os.path.islink(self.path))
        self.assertEqual(self.read(target), "urørt".encode())
        self.assertEqual(run("dekrypter", "-i", self.path).stdout, b"ny")

    def test_a_pipe_named_takes_the_text_and_stays_a_pipe(self):
        os.mkfifo(self.path)
        reader = os.open(self.path, os.O_RDONLY | os.O_NONBLOCK)
        try:
            done = run("krypter", "-p", "crypt", "--seed", "1", "-o", self.path, stdin=b"Hei")
            self.assertEqual((done.returncode, os.read(reader, 100)), (0, b"006iea01H"))
        finally:
            os.close(reader)
        self.assertTrue(stat.S_ISFIFO(os.lstat(self.path).st_mode))
        link = os.path.join(self.directory.name, "lenke")
        os.symlink(self.path, link)
        self.assertEqual(run("krypter", "-p", "crypt", "-o", link, stdin=b"Hei").returncode, 1)
        self.assertTrue(os.path.islink(link))
        # A socket takes no writes, as to the shell's >, and stays; so does a link to one.
        with socket.socket(socket.AF_UNIX) as listening:
            listening.bind(os.path.join(self.directory.name, "sokkel"))
            os.symlink(listening.getsockname(), link + "2")
            for name in (listening.getsockname(), link + "2"):
                self.assertEqual(run("krypter", "-p", "crypt", "-o", name, stdin=b"Hei").returncode, 1)
            self.assertEqual([stat.S_IFMT(os.lstat(name).st_mode) for name in (listening.getsockname(), link + "2")],
                             [stat.S_IFSOCK, stat.S_IFLNK])
        for standard_output in ("-", "/dev/stdout"):
            self.assertEqual(run("krypter", "-p", "crypt", "--seed", "1", "-o", standard_output, stdin=b"Hei").stdout,
                             b"006iea01H")

    # A signal that ends the program while it writes (here the one for a file past the size limit)
    # leaves neither a half-written file nor the old one changed.
    def test_ended_while_writing_leaves_the_old_file_alone(self):
        self.write(self.path, b"gammel")

        def limit():
            resource.setrlimit(resource.RLIMIT_FSIZE, (1000, 1000))
            resource.setrlimit(resource.RLIMIT_CORE, (0, 0))

        ended = subprocess.run([QELCRYPT, "krypter", "-p", "crypt", "-o", self.path], input=b"x" * 5000,
                               preexec_fn=limit, capture_output=True, timeout=60)
        self.assertEqual(ended.returncode, -signal.SIGXFSZ)
        self.assertEqual((os.listdir(self.directory.name), self.read(self.path)), (["ut.txt"], b"gammel"))

    # Started to ignore a hang-up (nohup), it goes on through one.
    def test_a_signal_ignored_from_the_start_stays_ignored(self):
        os.mkfifo(self.path)
        with subprocess.Popen([QELCRYPT, "krypter", "-p", "crypt", "--seed", "1", "-i", self.path],
                              stdout=subprocess.PIPE,
                              preexec_fn=lambda: signal.signal(signal.SIGHUP, signal.SIG_IGN)) as program:
            with open(self.path, "wb") as text:  # open once qelcrypt reads, its handlers set
                program.send_signal(signal.SIGHUP)
                text.write(b"Hei")
            self.assertEqual((program.communicate(timeout=60)[0], program.returncode), (b"006iea01H", 0))

    # A link into /proc names a file a process has open: with standard error a file, replacing the link
    # /dev/stderr would have taken that name from the system.
    def test_a_link_into_proc_is_refused(self):
        link = os.path.join(self.directory.name, "stderr")
        os.symlink("/proc/self/fd/2", link)
        with open(os.path.join(self.directory.name, "feil.txt"), "wb") as errors:
            refused = subprocess.run([QELCRYPT, "krypter", "-p", "crypt", "-o", link], input=b"Hei",
                                     stderr=errors, timeout=60)
        self.assertEqual((refused.returncode, os.readlink(link)), (1, "/proc/self/fd/2"))


if __name__ == "__main__":
    QELCRYPT = os.path.realpath(sys.argv.pop(1))
    unittest.main()
