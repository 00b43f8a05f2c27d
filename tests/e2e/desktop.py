"""Drives a real program on an X display the way a person does: keys and clicks through the X server
(xdotool), the clipboard (xclip), and what a screen reader sees (AT-SPI through pyatspi). Nothing here
calls into the program's code."""

import os
import re
import subprocess
import sys
import tempfile
import time

import pyatspi

POLL = 0.1
# Qt reports positions to the accessibility bus in its own scaled units; the X server counts pixels.
SCALE = float(os.environ.get("QT_SCALE_FACTOR", "1"))


class Timeout(AssertionError):
    pass


def wait_for(what, probe, timeout=15.0, poll=POLL):
    """Polls probe until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            found = probe()
        except Exception:  # the tree changes under us while windows come and go
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            raise Timeout(f"gave up waiting for {what} after {timeout:.0f} s")
        time.sleep(poll)


def run(*args, check=True, timeout=15, **kwargs):
    return subprocess.run(args, check=check, timeout=timeout, capture_output=True, text=True, **kwargs)


def xdotool(*args):
    return run("xdotool", *args).stdout.strip()


def clipboard_text():
    result = run("xclip", "-o", "-selection", "clipboard", check=False, timeout=5)
    return result.stdout if result.returncode == 0 else None


def key(*keys):
    """Keys go to whichever window has the X input focus; focus a window first."""
    xdotool("key", "--clearmodifiers", "--delay", "30", *keys)


def type_text(text):
    xdotool("type", "--clearmodifiers", "--delay", "20", text)


def _a11y_call(*message):
    """A method call on the accessibility bus, through dbus-send; its reply, or None."""
    address = run("dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus", "/org/a11y/bus",
                  "org.a11y.Bus.GetAddress", check=False).stdout.strip()
    if not address:
        return None
    result = run("dbus-send", f"--bus={address}", "--print-reply", *message, check=False)
    return result.stdout if result.returncode == 0 else None


def registry_owner():
    """The bus name of the registry process that answers now, or None while none does."""
    reply = _a11y_call("--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.GetNameOwner",
                       "string:org.a11y.atspi.Registry")
    found = re.search(r'string "([^"]+)"', reply or "")
    return found.group(1) if found else None


def wait_for_accessibility_bus():
    """Starts the accessibility bus and its registry before any program, so that each program that
    starts finds them and registers there. Under load the first registry has been seen to die on its
    first request and be started again; a program that had registered with the dead one stays unknown
    to its successor, so this waits until one registry answers its application list twice running."""
    def steady():
        owner = registry_owner()
        listed = _a11y_call("--dest=org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                            "org.a11y.atspi.Accessible.GetChildren")
        time.sleep(0.3)
        return owner if owner and listed is not None and registry_owner() == owner else None
    # The first call starts the bus and, through activation, the registry.
    owner = wait_for("a steady accessibility registry", steady, 30)
    pyatspi.Registry.getDesktop(0)
    return owner


def children(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child


def descendants(node):
    """Every node below, but not a table's cells: those are read through the table, a row at a time,
    as walking the 899 squares of the Vigenère table one call at a time takes seconds."""
    for child in children(node):
        yield child
        if child.getRoleName() != "table":
            yield from descendants(child)


def read_ppm(path):
    """Width, height and a pixel reader (x, y) -> (r, g, b) of a binary PPM picture."""
    with open(path, "rb") as f:
        data = f.read()
    fields, position = [], 0
    while len(fields) < 4:  # P6, width, height, maximum; comments do not occur in ImageMagick's output
        while data[position:position + 1].isspace():
            position += 1
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    width, height = int(fields[1]), int(fields[2])
    assert fields[0] == b"P6" and fields[3] == b"255", f"{path} is not an 8-bit binary PPM"
    start = position + 1

    def pixel(x, y):
        offset = start + 3 * (y * width + x)
        return tuple(data[offset:offset + 3])
    return width, height, pixel


def screen_shot(screen=0, keep=None):
    """Width, height and pixel reader of everything one X screen of the display shows; kept as a
    picture too if a path is given."""
    display = os.environ["DISPLAY"].split(".")[0]
    if keep:
        run("import", "-display", f"{display}.{screen}", "-window", "root", keep, timeout=30)
    with tempfile.NamedTemporaryFile(suffix=".ppm") as shot:
        run("import", "-display", f"{display}.{screen}", "-window", "root", "-depth", "8", shot.name, timeout=30)
        return read_ppm(shot.name)


def describe(node):
    return f"{node.getRoleName()} '{node.name}'"


class Program:
    """One running copy of the program, seen through the X server and the accessibility bus."""

    def __init__(self, binary, *args, env=None, name="qelCrypto"):
        self.name = name
        full_env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", **(env or {}))
        for attempt in (1, 2):
            registry = registry_owner()
            self.log = tempfile.TemporaryFile(mode="w+")  # what the program says, for a failing test
            self.process = subprocess.Popen([binary, *args], env=full_env, stdout=self.log, stderr=self.log)
            try:
                self.app = wait_for(f"{name} (pid {self.process.pid}) on the accessibility bus", self._find_app, 20)
                return
            except Timeout:
                self.kill()  # no test will own it, and its windows would catch later clicks
                # Only a registry that died and came back excuses a program nobody can see; it is
                # started once more against the new one, and said so.
                if attempt == 2 or registry_owner() == registry:
                    raise
                sys.stderr.write(f"\nthe accessibility registry restarted while {name} started; starting it again\n")
                wait_for_accessibility_bus()
            except Exception:
                self.kill()
                raise

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            if app.name == self.name and app.get_process_id() == self.process.pid:
                return app
        return None

    # Windows

    def windows(self):
        """The program's top-level windows that are showing."""
        return [w for w in children(self.app) if w.getState().contains(pyatspi.STATE_SHOWING)]

    def window(self, title, timeout=15.0):
        return wait_for(f"the window '{title}'",
                        lambda: next((w for w in self.windows() if w.name == title), None), timeout)

    def wait_gone(self, title, timeout=15.0):
        wait_for(f"the window '{title}' to close",
                 lambda: all(w.name != title for w in self.windows()), timeout)

    def xid(self, title):
        """The X window that shows a top-level window of this process."""
        return wait_for(f"the X window '{title}'", lambda: self._xid(title))

    def _xid(self, title):
        found = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid), "--name",
                    f"^{re.escape(title)}$", check=False).stdout.split()
        return found[-1] if found else None

    def focus(self, title):
        """Gives a window the keyboard, as clicking its title bar would."""
        xid = self.xid(title)
        xdotool("windowfocus", "--sync", xid)
        wait_for(f"'{title}' to be active",
                 lambda: self.window(title).getState().contains(pyatspi.STATE_ACTIVE), 10)
        return xid

    def move_aside(self, title, window):
        """Drags a window off the one given, as a person would before reaching for its menus."""
        box = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        xdotool("windowmove", "--sync", self.xid(title), str(round((box.x + box.width + 8) * SCALE)), "0")

    def screenshot(self, title, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        run("import", "-window", self.xid(title), path, timeout=30)

    # Controls

    def find(self, window, role, name=None, timeout=10.0):
        """A control by its role and accessible name, as a screen reader finds it."""
        def probe():
            for node in descendants(window):
                if node.getRoleName() == role and (name is None or node.name == name):
                    return node
            return None
        return wait_for(f"{role} '{name}' in '{window.name}'", probe, timeout)

    def click(self, node, button=1):
        """Moves the mouse to the middle of a control and clicks it."""
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        assert box.width > 0 and box.height > 0, f"{describe(node)} has no size on screen"
        xdotool("mousemove", "--sync", str(round((box.x + box.width / 2) * SCALE)),
                str(round((box.y + box.height / 2) * SCALE)))
        xdotool("click", str(button))

    def layout_faults(self, window):
        """Controls that show outside their window or with no size: cut off or squeezed away."""
        frame = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        # Positions in twips round to whole pixels, so a control may end one pixel past the edge.
        slack = 1
        faults = []
        for node in descendants(window):
            # Menus and a combo box's list are laid out when they open, not in the window.
            if node.getRoleName() in ("popup menu", "menu item", "list item"):
                continue
            if not node.getState().contains(pyatspi.STATE_SHOWING):
                continue
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if box.width <= 0 or box.height <= 0:
                faults.append(f"{describe(node)} has no size")
            elif (box.x < frame.x - slack or box.y < frame.y - slack
                  or box.x + box.width > frame.x + frame.width + slack
                  or box.y + box.height > frame.y + frame.height + slack):
                faults.append(f"{describe(node)} at {box.x},{box.y} {box.width}x{box.height} reaches outside "
                              f"{frame.x},{frame.y} {frame.width}x{frame.height}")
        return faults

    def cut_captions(self, title, window, picture_buttons=("KeyDisk",)):
        """Captions that run into the edge of what their control shows: the control's box, clipped by
        its window. Qt gives buttons and labels no text extents on the accessibility bus, so the
        window's picture is read instead: at the shown edge (just inside the frame, for a push button)
        a pixel column is one colour from top to bottom, a frame line or the ground, unless a caption
        or its focus frame crosses it."""
        with tempfile.NamedTemporaryFile(suffix=".ppm") as shot:
            run("import", "-window", self.xid(title), "-depth", "8", shot.name, timeout=30)
            width, height, pixels = read_ppm(shot.name)
        frame = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        cut = []
        for node in descendants(window):
            role = node.getRoleName()
            if (role not in ("push button", "radio button", "check box", "label") or not node.name.strip()
                    or node.name in picture_buttons or not node.getState().contains(pyatspi.STATE_SHOWING)):
                continue
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            left, right = max(box.x, frame.x), min(box.x + box.width, frame.x + frame.width)
            top, bottom = max(box.y, frame.y), min(box.y + box.height, frame.y + frame.height)
            if right - left < 4 or bottom - top < 6:
                continue
            inset = 3 if role == "push button" else 0
            sides = ("left", "right") if role == "push button" else ("right",)
            band = range(round((top - frame.y + 3) * SCALE), round((bottom - frame.y - 3) * SCALE))
            for side in sides:
                x = round((left - frame.x + inset) * SCALE) if side == "left" else \
                    round((right - frame.x - inset) * SCALE) - 1
                if not 0 <= x < width or not band:
                    continue
                reference = pixels(x, band[0])
                crossed = [y for y in band if y < height
                           and max(abs(a - b) for a, b in zip(pixels(x, y), reference)) > 96]
                if crossed:
                    cut.append(f"{describe(node)} at its {side} edge (x {x}, y {crossed[0]}: "
                               f"{pixels(x, crossed[0])} against {reference})")
        return cut

    @staticmethod
    def unnamed(window):
        """Controls a screen reader could move to but could not name."""
        return [describe(node) for node in descendants(window)
                if node.getState().contains(pyatspi.STATE_FOCUSABLE)
                and node.getState().contains(pyatspi.STATE_SHOWING) and not node.name.strip()]

    @staticmethod
    def text_of(node):
        text = node.queryText()
        return text.getText(0, -1)

    def wait_text(self, node, expected, timeout=10.0):
        seen = []

        def probe():
            seen.append(self.text_of(node))
            return seen[-1] == expected
        try:
            wait_for(f"{describe(node)} to read {expected!r}", probe, timeout)
        except Timeout as timeout_error:
            raise Timeout(f"{timeout_error}; it read {seen[-1]!r}" if seen else str(timeout_error)) from None

    def type_into(self, node, text, tries=3):
        """Types into a box and checks what arrived; should a key get lost on the way, types again, as a
        person who saw it would."""
        for attempt in range(tries):
            key("ctrl+a", "BackSpace")
            type_text(text)
            try:
                self.wait_text(node, text, 3)
                return
            except Timeout:
                if attempt == tries - 1:
                    raise

    # Ending

    def wait_exit(self, timeout=15.0):
        return self.process.wait(timeout)

    def output(self):
        self.log.seek(0)
        return self.log.read()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)
        self.log.close()
