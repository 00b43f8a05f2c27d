"""The Windows build as a Windows user meets it, under Wine on a private X server: installed silently,
started from where the installer put it, driven by keys and clicks (xdotool), read through the
clipboard (xclip) and screenshots. Wine has no accessibility bus, so controls that take no key are
clicked at their design positions (twips / 15, from the window's client area). Run by tests/wine/run."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

WINE = os.environ["QEL_WINE"]
INSTALLER = os.environ["QEL_INSTALLER"]
LINUX_BINARY = os.environ.get("QEL_LINUX_BINARY")  # a Linux build, for texts across the clipboard
SHOTS = os.environ.get("QEL_SCREENSHOTS")
PREFIX = os.environ["WINEPREFIX"]

LOGIN = "qelPortal - Logg inn"
MAIN = "qelCrypto - Qelvang Kodelag"
PANIC = "Form3"
QUESTION = "Lage KeyDisk?"
CRYPTKEY = "qelCrypto - Sett CryptKey"
WORD = "hemmelig"
PROGRAMS = os.path.join(PREFIX, "drive_c", "users", os.environ.get("USER", "root"), "AppData")
INSTALLED = os.path.join(PROGRAMS, "Local", "Programs", "qelCrypto")
SHORTCUT = os.path.join(PROGRAMS, "Roaming", "Microsoft", "Windows", "Start Menu", "Programs",
                        "qelCrypto - forkle korte tekster.lnk")


def wait_for(what, probe, timeout=30.0):
    deadline = time.monotonic() + timeout
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            raise AssertionError(f"gave up waiting for {what} after {timeout:.0f} s")
        time.sleep(0.2)


def run(*args, check=True, timeout=30):
    return subprocess.run(args, check=check, timeout=timeout, capture_output=True, text=True)


def xid(title):
    found = run("xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$", check=False)
    return found.stdout.split()[-1] if found.stdout.split() else None


def window(title, timeout=30.0):
    return wait_for(f"the window '{title}'", lambda: xid(title), timeout)


def wait_gone(title):
    wait_for(f"the window '{title}' to close", lambda: xid(title) is None)


def focus(title):
    found = window(title)
    run("xdotool", "windowfocus", "--sync", found)
    wait_for(f"'{title}' to have the keyboard", lambda: run("xdotool", "getwindowfocus").stdout.strip() == found)
    return found


def key(*keys):
    run("xdotool", "key", "--clearmodifiers", "--delay", "60", *keys)


def type_text(text):
    run("xdotool", "type", "--clearmodifiers", "--delay", "40", text)


def click(title, x, y):
    """Clicks a point of a window's client area, in pixels."""
    run("xdotool", "mousemove", "--window", window(title), "--sync", str(x), str(y), "click", "1")


def read_bytes(path):
    with open(path, "rb") as file:
        return file.read()


def clipboard():
    result = run("xclip", "-o", "-selection", "clipboard", check=False, timeout=5)
    return result.stdout if result.returncode == 0 else None


def clear_clipboard():
    subprocess.run(["xclip", "-i", "-selection", "clipboard", "-loops", "1"], input="", text=True,
                   timeout=5, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def header(encrypted):
    """The protocol letter and pass count of an encrypted text's outer header."""
    position = int(encrypted[:3])
    return encrypted[position - 1], int(encrypted[position:position + 2])


def shoot(title, name):
    if SHOTS:
        os.makedirs(SHOTS, exist_ok=True)
        run("import", "-window", window(title), os.path.join(SHOTS, name + ".png"))


class Copy:
    """One running copy of the program, its Windows build under Wine or its Linux build."""

    def __init__(self, command, env=None):
        self.log = tempfile.TemporaryFile(mode="w+")
        self.process = subprocess.Popen(command, env=dict(os.environ, **(env or {})), stdout=self.log,
                                        stderr=self.log)

    def log_in(self, user="kaktus", password="mez"):
        focus(LOGIN)  # the user name box has the focus
        key("ctrl+a")
        type_text(user)
        key("Tab", "ctrl+a")
        type_text(password)
        key("Return")
        window(MAIN)
        wait_gone(LOGIN)
        focus(MAIN)  # the input box has the focus

    def encrypt(self, word):
        """Vignere without a key would not do: Røver three times, by File, Kryptering, Krypter x3."""
        key("ctrl+r")  # Edit, Reset: both boxes empty
        type_text(word)
        # The option button "Røver" at its design place, below the menu bar.
        menu_bar = int(run("xdotool", "getwindowgeometry", "--shell", window(MAIN)).stdout.split("HEIGHT=")[1]
                       .split()[0]) - 4830 // 15
        click(MAIN, 5160 // 15 + 16, menu_bar + 720 // 15 + 8)
        key("alt+f", "k", "Down", "Return")

    def copy(self):
        clear_clipboard()
        key("alt+e", "c")  # Edit, &Copy
        return wait_for("the text on the clipboard", clipboard)

    def paste_and_decrypt(self):
        key("alt+e", "p")  # Edit, &Paste
        key("ctrl+d")  # File, &Dekrypter: Alt+D opens &Dill, whose mnemonic comes first
        return self.copy()

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)

    def output(self):
        self.log.seek(0)
        return self.log.read()


def restart_wine():
    """Ends the prefix's server, so that the next program starts it again with the drives as they are."""
    run("wineserver", "-k", check=False)
    run("wineserver", "-w", timeout=120)


def older_installer(work, files):
    """An installer built in work from this one's script for a folder of the given files, as an
    earlier version with other files would be."""
    source = os.path.join(work, "program")
    for name in files:
        os.makedirs(os.path.dirname(os.path.join(source, name)), exist_ok=True)
        with open(os.path.join(source, name), "w") as f:
            f.write("eldre utgave")
    listing = os.path.join(work, "uninstall.nsh")
    with open(listing, "w") as f:
        f.writelines(f'    Delete "$INSTDIR\\{name.replace("/", chr(92))}"\n' for name in files)
        folders = sorted({os.path.dirname(name) for name in files} - {""}, reverse=True)
        f.writelines(f'    RMDir "$INSTDIR\\{folder.replace("/", chr(92))}"\n' for folder in folders)
    installer = os.path.join(work, "eldre.exe")
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "windows", "installer.nsi")
    run("makensis", "-V2", "-DVERSION=0.0.1", f"-DSOURCE={source}", f"-DOUTFILE={installer}",
        "-DICON=/usr/share/nsis/Contrib/Graphics/Icons/classic-install.ico", f"-DUNINSTALL={listing}",
        script, timeout=120)
    return installer


def windows_copy():
    return Copy([WINE, os.path.join(INSTALLED, "qelCrypto.exe")])


class OnWindows(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        subprocess.run([WINE, INSTALLER, "/S"], check=True, timeout=180)
        run("wineserver", "-w", timeout=120)
        # Drive A: is a folder here, as a diskette would be, and so is E:, a USB stick: Wine's mount
        # manager takes it as removable once the prefix's server starts again.
        cls.disk, cls.stick = tempfile.mkdtemp(), tempfile.mkdtemp()
        os.symlink(cls.disk, os.path.join(PREFIX, "dosdevices", "a:"))
        os.symlink(cls.stick, os.path.join(PREFIX, "dosdevices", "e:"))
        run(WINE, "reg", "add", r"HKLM\Software\Wine\Drives", "/v", "e:", "/d", "floppy", "/f", timeout=120)
        restart_wine()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.disk)
        shutil.rmtree(cls.stick)

    def setUp(self):
        self.copies = []

    def tearDown(self):
        for copy in self.copies:
            if copy.process.poll() not in (None, 0):
                sys.stderr.write(f"\n--- what the program said ---\n{copy.output()[-3000:]}\n")
            copy.kill()
            copy.log.close()

    def start(self, copy):
        self.copies.append(copy)
        return copy

    def test_1_installed_per_user_with_shortcut_and_uninstaller(self):
        for name in ("qelCrypto.exe", "qelcrypt.exe", "Avinstaller.exe", "Qt6Widgets.dll",
                     "platforms/qwindows.dll", "styles/qwindowsvistastyle.dll", "imageformats/qgif.dll"):
            self.assertTrue(os.path.isfile(os.path.join(INSTALLED, name)), name)
        self.assertTrue(os.path.isfile(SHORTCUT))

    def test_2_encrypt_three_times_and_back_then_panic_and_quit(self):
        program = self.start(windows_copy())
        window(LOGIN)
        shoot(LOGIN, "login-window")
        program.log_in()
        shoot(MAIN, "main-window-empty")
        key("alt+c")  # &CryptKey
        window(CRYPTKEY)
        shoot(CRYPTKEY, "cryptkey-dialog")
        focus(CRYPTKEY)
        # Wine can lose the first key to a window just shown: Escape until the dialog has gone.
        wait_for("the CryptKey dialog to close", lambda: key("Escape") or xid(CRYPTKEY) is None)
        focus(MAIN)
        program.encrypt(WORD)
        encrypted = program.copy()
        self.assertEqual(header(encrypted), ("b", 3))
        shoot(MAIN, "main-window-encrypted")
        self.assertEqual(program.paste_and_decrypt(), WORD)
        shoot(MAIN, "main-window-decrypted")

        key("F5")
        window(PANIC)
        wait_gone(MAIN)
        shoot(PANIC, "panic-screen")
        focus(PANIC)
        key("space")
        window(LOGIN)
        wait_gone(PANIC)
        click(LOGIN, 3480 // 15 + 36, 2640 // 15 + 12)  # Avslutt
        self.assertEqual(program.wait_exit(), 0)

    def test_3_key_disk_on_drive_a(self):
        self.make_and_use_key_disk(self.disk, "the key file on drive A:", "main-window-keydisk")

    def test_5_key_disk_on_a_usb_stick(self):
        # Without drive A:, the one removable drive takes the key disk: E:\ here.
        drive_a = os.path.join(PREFIX, "dosdevices", "a:")
        os.unlink(drive_a)
        restart_wine()  # a server that has served drive A: goes on finding it after it has gone
        try:
            self.make_and_use_key_disk(self.stick, "the key file on the stick E:", None)
        finally:
            os.symlink(self.disk, drive_a)
            restart_wine()

    def make_and_use_key_disk(self, folder, what, shot):
        program = self.start(windows_copy())
        program.log_in("Fjord")
        key("alt+f", "m")  # File, &Make KeyDisk
        window(QUESTION)
        shoot(QUESTION, "keydisk-question")
        focus(QUESTION)
        key("alt+j")  # &Ja
        wait_gone(QUESTION)
        path = os.path.join(folder, "otpyrCleq.cryptkey")
        content = wait_for(what, lambda: os.path.isfile(path) and read_bytes(path))
        # One line in Windows-1252 ended by CR LF: when it was made, who, and the seal.
        self.assertRegex(content.decode("cp1252"), r'^\d{9,10},"Fjord",\d{1,4}\r\n$')

        focus(MAIN)
        key("ctrl+l")  # log out
        window(LOGIN)
        wait_gone(MAIN)
        focus(LOGIN)
        key("ctrl+l")  # the key disk logs in
        window(MAIN)
        wait_gone(LOGIN)
        if shot:
            shoot(MAIN, shot)
        focus(MAIN)
        key("ctrl+l")
        window(LOGIN)
        click(LOGIN, 3480 // 15 + 36, 2640 // 15 + 12)
        self.assertEqual(program.wait_exit(), 0)

    @unittest.skipUnless(LINUX_BINARY, "no Linux build given")
    def test_4_texts_cross_between_linux_and_windows(self):
        windows = self.start(windows_copy())
        windows.log_in()
        windows.encrypt(WORD)
        from_windows = windows.copy()
        # The two copies open their windows under the same titles: one waits behind its panic screen
        # while the other works, so each title names one window.
        key("F5")
        window(PANIC)
        linux = self.start(Copy([LINUX_BINARY], {"QT_QPA_PLATFORM": "xcb"}))
        linux.log_in("mast")
        self.assertEqual(linux.paste_and_decrypt(), WORD)
        linux.encrypt("fra linux")
        from_linux = linux.copy()
        self.assertNotEqual(from_linux, from_windows)

        # The Linux copy keeps running behind its panic screen, as the clipboard's text is its to give.
        focus(PANIC)
        key("space")
        window(LOGIN)
        focus(MAIN)
        key("F5")
        window(PANIC)
        wait_gone(MAIN)
        windows.log_in()
        self.assertEqual(windows.paste_and_decrypt(), "fra linux")
        key("ctrl+l")
        window(LOGIN)
        click(LOGIN, 3480 // 15 + 36, 2640 // 15 + 12)  # Avslutt
        self.assertEqual(windows.wait_exit(), 0)

        focus(PANIC)
        key("space")
        window(LOGIN)
        click(LOGIN, 3480 // 15 + 36, 2640 // 15 + 12)
        self.assertEqual(linux.wait_exit(), 0)

    def test_5b_help_version_and_wrong_options_are_answered(self):
        program = os.path.join(INSTALLED, "qelCrypto.exe")
        # Redirected, as from a console or a script: the answer goes where it was sent.
        shown = run(WINE, program, "--help", timeout=120)
        self.assertIn("første flyttbare stasjonen som har en", shown.stdout)
        wrong = run(WINE, program, "--bogus", check=False, timeout=120)
        self.assertEqual((wrong.returncode, wrong.stdout), (2, ""))
        self.assertIn("qelCrypto: Ukjent valg: --bogus", wrong.stderr)
        # Started as a shortcut starts it, with no console and nothing to write to: a message box,
        # whose OK ends the program with the status the answer has.
        for option, status in (("--version", 0), ("--bogus", 2)):
            started = subprocess.Popen([WINE, "start", "/wait", "/unix", program, option],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                focus("qelCrypto")
                shoot("qelCrypto", "answer-box-" + option.lstrip("-"))
                key("Return")
                self.assertEqual(started.wait(30), status)
            finally:
                if started.poll() is None:
                    started.kill()

    def test_6_upgrade_then_uninstall_removes_its_own_files_only(self):
        own = ["min.dll", os.path.join("styles", "min-stil.qss"), "notater.txt"]
        for name in own:
            with open(os.path.join(INSTALLED, name), "w") as f:
                f.write("brukerens egen")
        # Down to an "older" version with files this one has not, then up again: each installer
        # first runs the uninstaller of what stands there.
        work = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, work)
        older = older_installer(work, ["qelCrypto.exe", "gammel.dll", os.path.join("gamle", "tillegg.dll")])
        for installer in (older, INSTALLER):
            run(WINE, installer, "/S", timeout=180)
            run("wineserver", "-w", timeout=120)
        self.assertFalse(os.path.exists(os.path.join(INSTALLED, "gammel.dll")))
        self.assertFalse(os.path.exists(os.path.join(INSTALLED, "gamle")))
        for name in ("qelCrypto.exe", "Avinstaller.exe", "platforms/qwindows.dll"):
            self.assertTrue(os.path.isfile(os.path.join(INSTALLED, name)), name)
        self.assertTrue(os.path.isfile(SHORTCUT))

        run(WINE, os.path.join(INSTALLED, "Avinstaller.exe"), "/S", timeout=120)
        run("wineserver", "-w", timeout=120)  # the uninstaller goes on from a copy of itself
        left = [os.path.relpath(os.path.join(folder, name), INSTALLED)
                for folder, _, names in os.walk(INSTALLED) for name in names]
        self.assertEqual(sorted(left), sorted(own))
        self.assertFalse(os.path.exists(SHORTCUT))
        key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\qelCrypto"
        self.assertNotEqual(run(WINE, "reg", "query", key, check=False, timeout=120).returncode, 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
