"""The program as its users use it: the real binary on an X display, driven by keys, clicks and the
clipboard, and read through the accessibility tree. Run by tests/e2e/run inside Xvfb and a private
D-Bus session; see that script for the environment."""

import os
import subprocess
import sys
import tempfile
import time
import unittest

import pyatspi

from desktop import (SCALE, Program, children, clipboard_text, descendants, key, read_ppm, run, screen_shot,
                     type_text, wait_for, wait_for_accessibility_bus, xdotool)

BINARY = os.environ["QEL_BINARY"]
SHOTS = os.environ.get("QEL_SCREENSHOTS")  # where to save a picture of each window, if anywhere

LOGIN = "qelPortal - Logg inn"
MAIN = "qelCrypto - Qelvang Kodelag"
CRYPTKEY = "qelCrypto - Sett CryptKey"
PANIC = "Form3"
CRASH_BLUE = (0, 0, 170)
SCREENS = int(os.environ.get("QEL_SCREENS", "1"))
WORD = "hei"
PASSWORD = "mez"  # the shared password, as typed


def setUpModule():
    wait_for_accessibility_bus()


def header(encrypted):
    """The protocol letter and pass count of an encrypted text's outer header."""
    position = int(encrypted[:3])
    return encrypted[position - 1], int(encrypted[position:position + 2])


class Session(unittest.TestCase):
    """Starts copies of the program and makes sure none outlives its test."""

    def setUp(self):
        self.programs = []

    def tearDown(self):
        for program in self.programs:
            if program.process.poll() not in (None, 0):  # it died under the test
                said = program.output().strip()
                if said:
                    sys.stderr.write(f"\n--- what the program said ---\n{said}\n")
            program.kill()

    def start(self, *args):
        program = Program(BINARY, *args)
        self.programs.append(program)
        program.window(LOGIN)
        return program

    def shoot(self, program, title, name):
        if SHOTS:
            program.screenshot(title, os.path.join(SHOTS, name + ".png"))

    def log_in(self, program, user="kaktus"):
        login = program.window(LOGIN)
        program.focus(LOGIN)
        program.click(program.find(login, "text", "Brukernavn"))
        key("ctrl+a")
        type_text(user)
        program.click(program.find(login, "password text", "Passord"))
        key("ctrl+a")
        type_text(PASSWORD)
        key("Return")
        main = program.window(MAIN)
        program.wait_gone(LOGIN)
        program.focus(MAIN)
        return main

    def set_crypt_key(self, program, main, typed, becomes, shot=None):
        self.menu(program, main, "CryptKey")
        dialog = program.window(CRYPTKEY)
        program.focus(CRYPTKEY)
        program.type_into(program.find(dialog, "text", "Ønsket key"), typed)
        program.wait_text(program.find(dialog, "text", "Endelig key"), becomes)
        if shot:
            self.shoot(program, CRYPTKEY, shot)
        program.click(program.find(dialog, "push button", "OK"))
        program.wait_gone(CRYPTKEY)

    def boxes(self, program, main):
        """The input and the output box of the main window."""
        return (program.find(main, "text", "Tekst som skal krypteres eller dekrypteres"),
                program.find(main, "text", "Resultat"))

    def menu(self, program, window, *path, before_last=lambda: None):
        """Opens menus with the mouse and clicks the last item of the path."""
        for depth, name in enumerate(path):
            item = wait_for(f"the menu item '{name}'", lambda: next(
                (n for n in descendants(window) if n.getRoleName() == "menu item" and n.name == name
                 and n.getState().contains(pyatspi.STATE_SHOWING)), None))
            if depth == len(path) - 1:
                before_last()
            program.click(item)

    def assert_clean_exit(self, program):
        self.assertEqual(program.wait_exit(), 0, program.output())


class TheTypicalRequest(Session):
    def encrypt_three_times_and_back(self, protocol, letter, strong=False, keyboard=False):
        program = self.start()
        main = self.log_in(program)
        source, result = self.boxes(program, main)
        type_text(WORD)
        program.wait_text(source, WORD)
        program.click(program.find(main, "radio button", protocol))
        if strong:
            program.click(program.find(main, "check box", "Strong"))
        if keyboard:  # File, Kryptering opens on "Krypter", one down past the divider
            program.focus(MAIN)
            key("alt+f", "k", "Down", "Return")
        else:
            self.menu(program, main, "File", "Kryptering", "Krypter x3")
        encrypted = wait_for("an encrypted text", lambda: program.text_of(result) or None)
        self.assertEqual(header(encrypted), (letter, 3))

        key("F2") if keyboard else self.menu(program, main, "Edit", "Copy")
        wait_for("the text on the clipboard", lambda: clipboard_text() == encrypted)
        key("F3") if keyboard else self.menu(program, main, "Edit", "Paste")
        program.wait_text(source, encrypted)
        key("ctrl+d") if keyboard else self.menu(program, main, "Dekrypter")
        program.wait_text(result, WORD)
        return program, main

    def test_rover_three_times_by_keyboard(self):
        self.encrypt_three_times_and_back("Røver", "b", keyboard=True)

    def test_begge_strong_three_times(self):
        self.encrypt_three_times_and_back("Begge", "e", strong=True)

    def test_vignere_with_a_key(self):
        program = self.start()
        main = self.log_in(program)
        # A screen reader reads the status bar by its role: the welcome, then the tip.
        panels = list(children(program.find(main, "status bar", "Statuslinje")))
        self.assertEqual([panel.getRoleName() for panel in panels], ["label", "label"])
        self.assertEqual(panels[0].name, "Velkommen til qelCrypto Kaktus")
        self.assertTrue(panels[1].name)
        self.set_crypt_key(program, main, "Hemmelig", "HEMMELIG", shot="cryptkey-dialog")

        program.focus(MAIN)
        source, result = self.boxes(program, main)
        type_text(WORD)
        self.menu(program, main, "Krypter")  # Vignere is chosen when the window opens
        encrypted = wait_for("an encrypted text", lambda: program.text_of(result) or None)
        self.assertEqual(header(encrypted), ("f", 1))
        self.menu(program, main, "Edit", "Copy")
        self.menu(program, main, "Edit", "Paste")
        program.wait_text(source, encrypted)
        key("ctrl+d")
        prompt = program.window("Enter decrypt Key")
        self.assertEqual(program.text_of(program.find(prompt, "text")), "HEMMELIG")
        program.focus("Enter decrypt Key")
        key("Return")
        program.wait_text(result, WORD)


class TwoCopies(Session):
    def test_a_crypt_text_travels_to_another_copy(self):
        """Even with a lone LF in it, which another program's text would have made CR LF on Paste."""
        sender = self.start()
        main = self.log_in(sender)
        source, result = self.boxes(sender, main)
        # Another program's text keeps its breaks when it holds a CR; the CR is then deleted by hand.
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], input="Møte på kaia kl. 12\n\r".encode(),
                       check=True, timeout=10)
        self.menu(sender, main, "Edit", "Paste")
        sender.wait_text(source, "Møte på kaia kl. 12↓←")
        sender.click(source)
        key("ctrl+End", "BackSpace")
        sender.wait_text(source, "Møte på kaia kl. 12↓")
        sender.click(sender.find(main, "radio button", "Crypt"))
        self.menu(sender, main, "Krypter")
        encrypted = wait_for("an encrypted text", lambda: sender.text_of(result) or None)
        self.assertEqual(header(encrypted), ("a", 1))
        self.assertNotIn("\n", encrypted)  # the LF shows as ↓
        self.menu(sender, main, "Edit", "Copy")

        receiver = self.start()
        main2 = self.log_in(receiver, "fjord")
        self.menu(receiver, main2, "Edit", "Paste")
        source2, result2 = self.boxes(receiver, main2)
        receiver.wait_text(source2, encrypted)
        self.menu(receiver, main2, "Dekrypter")
        receiver.wait_text(result2, "Møte på kaia kl. 12↓")

        for program, window in ((receiver, main2), (sender, main)):
            self.menu(program, window, "File", "Lukk")
            self.assert_clean_exit(program)


class Editing(Session):
    """Drags within and between the boxes, by the mouse through the X server."""

    @staticmethod
    def point(box, offset, share=0.5):
        """Where character offset of a box is on the screen: share of the way across it, halfway down."""
        x, y, width, height = box.queryText().getCharacterExtents(offset, pyatspi.DESKTOP_COORDS)
        return round((x + width * share) * SCALE), round((y + height / 2) * SCALE)

    @staticmethod
    def drag(start, end, step=4):
        """Presses at start and moves to end a few pixels at a time, as a hand does, then lets go."""
        xdotool("mousemove", "--sync", *map(str, start))
        xdotool("mousedown", "1")
        steps = max(abs(end[0] - start[0]), abs(end[1] - start[1])) // step + 1
        for i in range(1, steps + 1):
            xdotool("mousemove", "--sync", *(str(round(a + (b - a) * i / steps)) for a, b in zip(start, end)))
        xdotool("mouseup", "1")

    def test_a_stretch_dragged_within_the_box_keeps_its_lone_cr(self):
        """Qt takes a dragged stretch out of the box before the box sees what was dropped."""
        program = self.start()
        main = self.log_in(program)
        source, _ = self.boxes(program, main)
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=b"ab\rcdef", check=True, timeout=10)
        self.menu(program, main, "Edit", "Paste")
        program.wait_text(source, "ab←cdef")
        program.click(source)
        key("ctrl+Home", "Right", "shift+Right", "shift+Right", "shift+Right")  # b←c
        self.drag(self.point(source, 2), self.point(source, 6, 0.1))  # from the ← to just before the f
        program.wait_text(source, "adeb←cf")
        key("ctrl+a", "ctrl+c")
        exact = wait_for("the box's exact text on the clipboard", lambda: subprocess.run(
            ["xclip", "-o", "-selection", "clipboard", "-t", "application/x-qelcrypto-text"],
            capture_output=True, timeout=5).stdout or None)
        self.assertEqual(exact, b"adeb\rcf")
        key("ctrl+z")  # the move is one step back
        program.wait_text(source, "ab←cdef")

    def test_a_drop_leaves_no_drop_cursor_drawn(self):
        """Dropped onto its own selection, between two blanks: once the cursor has gone to the end,
        nothing is drawn between them."""
        program = self.start()
        main = self.log_in(program)
        source, _ = self.boxes(program, main)
        text = "ab" + " " * 8 + "cd"
        type_text(text)
        program.wait_text(source, text)
        self.drag(self.point(source, 0, 0.0), self.point(source, 3, 0.0))  # a selection, no drag
        self.assertEqual(source.queryText().getSelection(0), (0, 3))
        key("ctrl+a")
        gap = self.point(source, 6, 0.0)
        self.drag(self.point(source, 1), gap)
        key("ctrl+End")
        time.sleep(0.3)  # for the repaint
        _, _, pixels = screen_shot()
        _, y, _, height = source.queryText().getCharacterExtents(6, pyatspi.DESKTOP_COORDS)
        drawn = [(x, row) for x in range(gap[0] - 2, gap[0] + 3)
                 for row in range(round((y + height / 4) * SCALE), round((y + height * 3 / 4) * SCALE))
                 if sum(pixels(x, row)) < 3 * 128]
        self.assertEqual(drawn, [])
        self.assertEqual(program.text_of(source), text)

    def test_a_drag_that_leaves_the_box_at_once_ends_with_its_drop(self):
        """Dragged up out of the output box's first line, the drag starts outside the box: the box's
        scrolling timer must not start it again after the drop."""
        program = self.start()
        main = self.log_in(program)
        source, result = self.boxes(program, main)
        type_text(WORD)
        program.click(program.find(main, "radio button", "Crypt"))
        self.menu(program, main, "Krypter")
        encrypted = wait_for("an encrypted text", lambda: program.text_of(result) or None)
        program.click(result)
        key("ctrl+a")
        start = self.point(result, 1)
        box = source.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.drag(start, (start[0], round((box.y + box.height - 10) * SCALE)), step=2)
        program.wait_text(source, WORD + encrypted)
        program.click(source)  # a drag started anew would take this click as its drop
        type_text("x")
        program.wait_text(source, WORD + encrypted + "x")


class LargeTexts(Session):
    def test_a_million_characters_through_the_clipboard(self):
        """A million characters pasted shows its count, and each command on them completes; the times
        from the click to the result are printed, as a screen reader would notice them."""
        program = self.start()
        main = self.log_in(program)
        self.set_crypt_key(program, main, "lang nøkkel", "LANGNØKKEL")
        text = ("Ærlig talt, dette er en lang tekst. " * 27778)[:1_000_000]
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=text.encode(), check=True, timeout=30)
        _, result = self.boxes(program, main)
        timings = {}

        def timed(name, path, done):
            """From the click on the command's menu item to its result, polled every 10 ms."""
            started = []
            self.menu(program, main, *path, before_last=lambda: started.append(time.monotonic()))
            if name == "Dekrypter":  # the key prompt comes first, filled in with the CryptKey
                program.focus("Enter decrypt Key")
                started.append(time.monotonic())
                key("Return")
            wait_for(f"'{name}' to finish", done, 60, poll=0.01)
            timings[name] = time.monotonic() - started[-1]

        timed("Paste", ("Edit", "Paste"), lambda: program.find(main, "label", "1000000", 0.05))
        self.assertEqual(program.cut_captions(MAIN, main), [])  # seven digits in the counter
        timed("Krypter", ("Krypter",), lambda: result.queryText().characterCount > 1_000_000)
        encrypted_length = result.queryText().characterCount
        timed("Copy", ("Edit", "Copy"), lambda: len(clipboard_text() or "") == encrypted_length)
        self.menu(program, main, "Edit", "Paste")
        program.find(main, "label", str(encrypted_length), 60)
        timed("Dekrypter", ("Dekrypter",), lambda: result.queryText().characterCount == 1_000_000)
        # Asked again while the program is still busy telling the bus about a million changed characters:
        # a loaded machine can let a single call time out.
        beginning = wait_for("the decrypted text's beginning", lambda: result.queryText().getText(0, 40), 60)
        self.assertEqual(beginning, text[:40])
        sys.stderr.write("\n  " + ", ".join(f"{name} {seconds * 1000:.0f} ms" for name, seconds in timings.items())
                         + " (from the click, or the Enter in the key prompt, to the result)\n")


class Access(Session):
    def test_panic_and_back_to_the_login_window(self):
        program = self.start()
        main = self.log_in(program)
        type_text(WORD)
        key("F5")
        panic = program.window(PANIC)
        program.wait_gone(MAIN)
        self.shoot(program, PANIC, "panic-screen")
        # Every screen crash blue; only the text on the main window's screen is not.
        box = program.find(panic, "label").queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        text = [round(v * SCALE) for v in (box.x, box.y, box.x + box.width, box.y + box.height)]
        for screen in range(SCREENS):
            wait_for(f"screen {screen} to turn blue", lambda: self.blue_screen(screen, text if screen == 0 else None))
            if SHOTS:
                screen_shot(screen, os.path.join(SHOTS, f"panic-screen-{screen + 1}-of-{SCREENS}.png"))
        if SCREENS > 1:  # a click on another screen leaves as well, and takes its blue away
            xdotool("mousemove", "--screen", "1", "10", "10")
            xdotool("click", "1")
        else:
            program.focus(PANIC)
            key("space")
        login = program.window(LOGIN)
        program.wait_gone(PANIC)
        for screen in range(1, SCREENS):
            self.assertNotEqual(screen_shot(screen)[2](10, 10), CRASH_BLUE)
        program.find(login, "label", "Blei du redd?")
        # The main window waited hidden with its text.
        main = self.log_in(program)
        source, _ = self.boxes(program, main)
        program.wait_text(source, WORD)

    @staticmethod
    def blue_screen(screen, text):
        """Whether every 16th pixel across and down a screen is crash blue, outside the text."""
        width, height, pixels = screen_shot(screen)
        return all(pixels(x, y) == CRASH_BLUE or (text and text[0] <= x < text[2] and text[1] <= y < text[3])
                   for x in range(0, width, 16) for y in range(0, height, 16))

    def test_log_out_then_quit(self):
        program = self.start()
        main = self.log_in(program)
        type_text(WORD)
        key("ctrl+l")
        program.window(LOGIN)
        program.wait_gone(MAIN)
        main = self.log_in(program, "mast")
        source, _ = self.boxes(program, main)
        self.assertEqual(program.text_of(source), "")  # a fresh main window
        key("ctrl+l")
        login = program.window(LOGIN)
        program.click(program.find(login, "push button", "Avslutt"))
        self.assert_clean_exit(program)

    def test_key_disk_made_and_used(self):
        with tempfile.TemporaryDirectory() as disk:
            program = self.start("--keydisk", disk)
            main = self.log_in(program, "Fjord")
            self.menu(program, main, "File", "Make KeyDisk")
            question = program.window("Lage KeyDisk?")
            program.click(program.find(question, "push button", "Ja"))
            program.wait_gone("Lage KeyDisk?")
            program.focus(MAIN)
            with open(os.path.join(disk, "otpyrCleq.cryptkey"), "rb") as f:
                self.assertRegex(f.read(), rb'^\d{9,10},"Fjord",\d{1,4}\r\n$')

            key("ctrl+l")
            login = program.window(LOGIN)
            program.wait_gone(MAIN)
            program.click(program.find(login, "push button", "KeyDisk"))
            main = program.window(MAIN)
            program.find(main, "label", "Velkommen til qelCrypto Fjord")


class EveryWindow(Session):
    """Opens every window, saves a picture of it, and checks that no control is cut off."""

    def look(self, program, title, name):
        window = program.window(title)
        self.assertTrue(any(n.getState().contains(pyatspi.STATE_FOCUSABLE) for n in descendants(window)),
                        f"nothing in '{title}' takes the focus: is the accessibility tree empty?")
        self.assertEqual(program.layout_faults(window), [], title)
        self.assertEqual(program.unnamed(window), [], title)
        self.shoot(program, title, name)
        self.assertEqual(program.cut_captions(title, window), [], title)
        return window

    def read_marked_row(self, program, grid):
        """Row 3 after "Marker" 3 5, as a screen reader reads it: letters, headers, the marked cells
        selected, and each cell's extents on the square painted in its colour."""
        table = grid.queryTable()
        self.assertEqual((table.nRows, table.nColumns), (29, 29))
        cells = [table.getAccessibleAt(2, column) for column in range(29)]
        self.assertEqual(("".join(c.name for c in cells), table.getRowHeader(2).name, table.getColumnHeader(4).name),
                         ("DEFGHIJKLMNOPQRSTUVWXYZÆØÅABC", "C", "E"))
        self.assertEqual({c.getRoleName() for c in cells}, {"table cell"})
        self.assertEqual([c.getState().contains(pyatspi.STATE_SELECTED) for c in cells], [True] * 5 + [False] * 24)
        self.assertEqual(cells[4].description, "Rød")
        _, _, pixels = screen_shot()
        colours = []
        for cell in cells:  # just inside the square's corner, off the letter
            box = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            colours.append(pixels(round((box.x + 2) * SCALE), round((box.y + 2) * SCALE)))
        self.assertEqual(colours, [(0, 255, 0)] * 4 + [(255, 0, 0)] + [(255, 255, 255)] * 24)

    def test_every_window_whole_on_screen(self):
        program = self.start()
        login = program.window(LOGIN)
        program.focus(LOGIN)
        type_text("gjest")
        key("Tab")
        type_text("feil")
        key("Return")  # a refused password
        program.find(login, "label", "Feil!")
        self.look(program, LOGIN, "login-window")

        main = self.log_in(program)
        # The program's icon, for the task bar and the window switcher.
        icon = run("xprop", "-id", program.xid(MAIN), "_NET_WM_ICON").stdout
        self.assertIn("_NET_WM_ICON(CARDINAL) = ", icon)
        type_text("Hei, Sommer!")
        program.click(program.find(main, "radio button", "Røver"))
        self.menu(program, main, "Krypter")
        self.look(program, MAIN, "main-window")

        self.menu(program, main, "File", "Make KeyDisk")
        self.look(program, "Lage KeyDisk?", "keydisk-question")
        program.focus("Lage KeyDisk?")
        key("Escape")
        program.wait_gone("Lage KeyDisk?")

        program.focus(MAIN)
        key("ctrl+t")
        pizza = program.window("qelPizzaTimer")
        program.click(program.find(pizza, "push button", "GO!"))
        program.find(main, "label", "12 min. left on Grandi'en")
        self.look(program, "qelPizzaTimer", "pizza-timer")

        self.menu(program, main, "Dill", "Vignere Visual")
        table = program.window("Vignere Visual")
        for box, number in (("Rad", "3"), ("Til kolonne", "5")):
            program.click(program.find(table, "text", box))
            key("ctrl+a")
            type_text(number)
        program.click(program.find(table, "push button", "Marker"))
        self.look(program, "Vignere Visual", "vignere-visual")
        self.read_marked_row(program, program.find(table, "table", "Vigenère-tabell"))
        program.move_aside("Vignere Visual", main)

        for item, title, name in (("Greetz", "qelCrypto - Greetz", "greetz-window"),
                                  ("Changelog", "qelCrypto - Changelog", "changelog-window")):
            self.menu(program, main, "Dill", item)
            self.look(program, title, name)
            program.move_aside(title, main)


@unittest.skipUnless(os.environ.get("QEL_WAYLAND_OUTPUTS"), "run by tests/e2e/run with QEL_WAYLAND_OUTPUTS")
class OnWayland(Session):
    """The program as a native client of weston with several outputs. The compositor places and
    focuses windows itself, so everything goes through the keyboard."""

    def active(self, program, title):
        return wait_for(f"'{title}' to be active",
                        lambda: (w := program.window(title)).getState().contains(pyatspi.STATE_ACTIVE) and w)

    def test_log_in_and_panic_on_every_output(self):
        program = self.start()
        self.active(program, LOGIN)
        type_text("kaktus")
        key("Tab")
        type_text(PASSWORD)
        key("Return")
        self.active(program, MAIN)
        program.wait_gone(LOGIN)
        type_text(WORD)
        key("F5")
        program.window(PANIC)
        outputs = xdotool("search", "--class", "^Weston Compositor$").split()
        self.assertEqual(len(outputs), int(os.environ["QEL_WAYLAND_OUTPUTS"]))
        # Weston draws the pointer into an output: into the last one's bottom right pixel, then.
        x, y, width, height = self.place(outputs[-1])
        xdotool("mousemove", "--sync", str(x + width - 1), str(y + height - 1))
        try:
            text = wait_for("every output to turn blue", lambda: self.blue_outputs(outputs))
        finally:  # what the outputs showed, whether or not they turned blue
            if SHOTS:
                os.makedirs(SHOTS, exist_ok=True)
            for number, output in enumerate(outputs if SHOTS else [], 1):
                run("import", "-window", output, os.path.join(SHOTS, f"wayland-panic-output-{number}.png"))
        # A click on an output without the text leaves too.
        x, y, _, _ = self.place(next(output for output in outputs if output != text))
        xdotool("mousemove", "--sync", str(x + 100), str(y + 100), "click", "1")
        login = self.active(program, LOGIN)
        program.find(login, "label", "Blei du redd?")

    @staticmethod
    def place(window):
        """Left, top, width and height of an X window."""
        shell = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window).splitlines())
        return tuple(int(shell[name]) for name in ("X", "Y", "WIDTH", "HEIGHT"))

    @staticmethod
    def blue_outputs(outputs):
        """The output with the text, when every output is crash blue, every 16th pixel across and down,
        but for the text on that one: within three quarters of its width and a quarter of its height,
        clear of its edges."""
        texts = []
        for output in outputs:
            with tempfile.NamedTemporaryFile(suffix=".ppm") as shot:
                run("import", "-window", output, "-depth", "8", shot.name, timeout=30)
                width, height, pixels = read_ppm(shot.name)
            stray = [(x, y) for x in range(0, width, 16) for y in range(0, height, 16) if pixels(x, y) != CRASH_BLUE]
            if stray:
                xs, ys = [x for x, _ in stray], [y for _, y in stray]
                texts.append((output, min(xs), min(ys), max(xs), max(ys), width, height))
        if len(texts) != 1:
            return None
        output, left, top, right, bottom, width, height = texts[0]
        fits = left > 32 and top > 32 and right < width - 32 and bottom < height - 32 and \
            (right - left) * 4 <= width * 3 and (bottom - top) * 4 <= height
        return output if fits else None


if __name__ == "__main__":
    unittest.main(verbosity=2)
