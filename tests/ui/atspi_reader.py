"""The reader through AT-SPI: the roles, names and states a screen reader
gets on each screen, and the reader driven by its actions alone (a tab
chosen, a row activated, back, the + button, the switch). Run inside a
D-Bus session of its own (tst_accessibility.sh)."""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi

SKIP = 77
# The X server's screen, and the window's own size at scale 1.
SCREEN = (1280, 1100)
WINDOW = (390, 760)


def start_x_server():
    """An X server on a free display; its process and the display."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                               "-nolisten", "tcp"],
                              pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    deadline = time.time() + 20
    while time.time() < deadline and not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    if not number.strip():
        server.kill()
        return None, None
    return server, ":" + number.decode().strip()


def wait_for(what, timeout=20.0):
    """what() once it is true, else None after the timeout."""
    deadline = time.time() + timeout
    while True:
        try:
            value = what()
        except Exception:  # an object gone while the window changes
            value = None
        if value or time.time() > deadline:
            return value
        time.sleep(0.2)


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def showing(node):
    return "showing" in states(node)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find_all(root, role, name=None):
    """The nodes on show of a role (and name)."""
    return [n for n in walk(root)
            if n.getRoleName() == role and (name is None or n.name == name) and showing(n)]


def find(root, role, name=None):
    found = find_all(root, role, name)
    return found[0] if found else None


def act(node, action):
    """Does the node's action of that name (Press, Toggle, SetFocus)."""
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    for i, candidate in enumerate(names):
        if candidate.lower().replace(" ", "") == action.lower():
            return actions.doAction(i)
    raise AssertionError(f'{node.getRoleName()} "{node.name}" has no {action} among {names}')


def page_text(document):
    """The words of a page: the web engine names its text nodes by them."""
    return " ".join(node.name for node in walk(document) if node.name)


class Run:
    def __init__(self, app):
        self.app = app
        self.passed = 0
        self.failed = 0

    def check(self, what, condition):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAIL: {what}")

    def wait(self, what, test, timeout=20.0):
        self.check(what, wait_for(test, timeout))

    def announced(self):
        note = [n for n in walk(self.app) if n.getRoleName() == "notification"]
        return note[0].name if note else ""


def scenario(run):
    app = run.app
    frame = app.getChildAtIndex(0)
    run.check("the window is named after the dictionary", frame.name == "WL Demo Dictionary — WL Reader")

    # The tab bar: four tabs, Index chosen.
    tabs = wait_for(lambda: find(app, "page tab list", "Tabs"))
    run.check("a tab list", tabs is not None)
    if not tabs:
        return
    names = [t.name for t in find_all(tabs, "page tab")]
    run.check(f"the tabs by name: {names}", names == ["Index", "Search", "Bookmarks", "History"])
    selected = [t.name for t in find_all(tabs, "page tab") if "selected" in states(t)]
    run.check(f"Index is the tab chosen: {selected}", selected == ["Index"])

    # Index: its bar, its rows in headed sections and the section index.
    run.check("the info button", find(app, "push button", "About") is not None)
    run.wait("a row of the Index", lambda: find(app, "list item", "apple"))
    run.check("a section heading", find(app, "heading", "A") is not None)
    letters = find(app, "list", "Section Index")
    run.check("the section index", letters is not None and find(letters, "list item", "M") is not None)
    run.check("the list has the focus", wait_for(lambda: "focused" in states(find(app, "list item", "ability"))))

    # A tab chosen through its action.
    act(find(tabs, "page tab", "Bookmarks"), "Press")
    run.wait("Bookmarks chosen", lambda: "selected" in states(find(tabs, "page tab", "Bookmarks")))
    run.check("Index no longer chosen", "selected" not in states(find(tabs, "page tab", "Index")))
    act(find(tabs, "page tab", "Index"), "Press")
    run.wait("Index chosen again", lambda: "selected" in states(find(tabs, "page tab", "Index")))

    # A row activated: its entry, announced, with the page's own words.
    act(wait_for(lambda: find(app, "list item", "apple")), "Press")
    run.wait("the new entry is announced", lambda: run.announced() == "apple")
    run.wait("the way back names the Index", lambda: find(app, "push button", "Back to Index"))
    run.check("the + button", find(app, "push button", "Add Bookmark") is not None)
    normal = find(app, "radio button", "Normal Type")
    large = find(app, "radio button", "Large Type")
    run.check("the font segments", normal is not None and large is not None)
    if normal and large:
        run.check("normal type is chosen", "checked" in states(normal) and "checked" not in states(large))
        act(large, "Press")
        run.wait("large type is chosen", lambda: "checked" in states(find(app, "radio button", "Large Type")))
        act(find(app, "radio button", "Normal Type"), "Press")
        run.wait("normal type again", lambda: "checked" in states(find(app, "radio button", "Normal Type")))
    run.wait("the page's words are in the tree",
             lambda: "An apple a day" in page_text(find(app, "document web")), timeout=30)

    # The + button: the editor, a dialog with its buttons and the note field.
    act(find(app, "push button", "Add Bookmark"), "Press")
    dialog = wait_for(lambda: find(app, "dialog", "New Bookmark"))
    run.check("the editor is a dialog named by its title", dialog is not None)
    if dialog:
        run.check("Cancel", find(dialog, "push button", "Cancel") is not None)
        run.check("the word", find(dialog, "label", "apple") is not None or find(dialog, "static", "apple") is not None)
        run.check("the note field", find(dialog, "text", "Notes") is not None or find(dialog, "entry", "Notes") is not None)
        act(find(dialog, "push button", "Save"), "Press")
        run.wait("the editor goes", lambda: find(app, "dialog") is None)

    # Back to the list.
    act(find(app, "push button", "Back to Index"), "Press")
    run.wait("back on the Index", lambda: find(app, "push button", "Back to Index") is None
             and find(app, "list item", "apple"))

    # The bookmark is listed on its tab.
    act(find(tabs, "page tab", "Bookmarks"), "Press")
    run.wait("the bookmark is listed", lambda: find(find(app, "list", "Bookmarks"), "list item", "apple"))
    run.check("Edit", find(app, "push button", "Edit") is not None)

    # About, its segments and the switch of the settings.
    act(find(app, "push button", "About"), "Press")
    run.wait("About: Done", lambda: find(app, "push button", "Done"), timeout=10)
    run.check("About's picture is named", find(app, "image", "WL Demo Dictionary") is not None)
    run.check("the tabs are gone with the flip", wait_for(lambda: find(app, "page tab list") is None))
    act(find(app, "push button", "Settings"), "Press")
    switch = wait_for(lambda: find(app, "check box"))
    run.check("the switch", switch is not None)
    if switch:
        run.check(f'the switch is named by its row: "{switch.name}"', switch.name != "")
        run.check("the switch is on", "checked" in states(switch))
        act(switch, "Toggle")
        run.wait("the switch is off", lambda: "checked" not in states(find(app, "check box")))
    act(wait_for(lambda: find(app, "push button", "Back to Back") or find(app, "push button", "Back to About")
                 or [n for n in find_all(app, "push button") if n.name.startswith("Back to")][0]), "Press")
    act(wait_for(lambda: find(app, "push button", "Done")), "Press")
    run.wait("the tabs again", lambda: find(app, "page tab list", "Tabs"), timeout=10)


def scaled(run, start, setting, factor):
    """At a larger scale (the desktop's text scale reaches Qt as the font
    DPI, Xft.dpi on X11) the window grows by the factor and is fitted to
    the screen rather than cut."""
    window = start({setting[0]: setting[1]})
    try:
        app = wait_for(lambda: application(), 30)
        frame = app.getChildAtIndex(0) if app else None
        if not frame:
            run.check(f"{setting}: the window", False)
            return
        # In the scale's own points: the screen is smaller by the factor, and
        # the window as high as it still fits.
        box = wait_for(lambda: frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS))
        screen = (int(SCREEN[0] / factor), int(SCREEN[1] / factor))
        run.check(f"{setting}: the phone's width ({box.width})", box.width == WINDOW[0])
        run.check(f"{setting}: fitted to the screen's height ({box.height}, screen {screen[1]})",
                  abs(box.height - min(WINDOW[1], screen[1])) <= 1)
        run.check(f"{setting}: on the screen ({box.x},{box.y})",
                  box.x >= 0 and box.y >= 0 and box.x + box.width <= screen[0] and box.y + box.height <= screen[1])
        run.check(f"{setting}: the list is there", wait_for(lambda: find(app, "list item", "ability")) is not None)
    finally:
        run.check(f"{setting}: the reader ends cleanly", stop(window) == 0)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "wlreader" and app.childCount > 0:
            return app
    return None


def stop(window):
    """Ends the reader as the desktop does; its exit status."""
    window.terminate()
    try:
        return window.wait(60)
    except subprocess.TimeoutExpired:
        window.kill()
        return window.wait()


def main():
    reader, bundle = sys.argv[1], sys.argv[2]
    server, display = start_x_server()
    if not server:
        print("SKIP: no X server could start")
        return SKIP
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    state = tempfile.TemporaryDirectory()

    def start(extra):
        # A fresh state each time: no window place is kept between runs.
        folder = tempfile.mkdtemp(dir=state.name)
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   WL_DEFAULTS_FILE=os.path.join(folder, "defaults.plist"), TMPDIR=folder,
                   XDG_RUNTIME_DIR=folder, XDG_CONFIG_HOME=folder, XDG_DATA_HOME=folder,
                   XDG_CACHE_HOME=folder, WL_COLOR_SCHEME="light", **extra)
        for name in ("WAYLAND_DISPLAY", "QT_SCALE_FACTOR", "QT_FONT_DPI", "QT_SCREEN_SCALE_FACTORS"):
            if name not in extra:
                env.pop(name, None)
        return subprocess.Popen([reader, "--dictionary", bundle], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    window = start({})
    try:
        app = wait_for(application, 30)
        if not app:
            if window.poll() is not None:
                print(f"FAIL: the reader ended with {window.returncode}")
                return 1
            print("SKIP: the reader did not reach the AT-SPI registry")
            return SKIP
        run = Run(app)
        try:
            scenario(run)
        except Exception as error:  # a node missing where an action was due
            run.failed += 1
            print(f"FAIL: {type(error).__name__}: {error}")
        # A sanitizer's finding at the end shows here.
        run.check("the reader ends cleanly", stop(window) == 0)
        for setting, factor in ((("QT_SCALE_FACTOR", "1.5"), 1.5), (("QT_SCALE_FACTOR", "2"), 2),
                                (("QT_FONT_DPI", "144"), 1.5)):
            try:
                scaled(run, start, setting, factor)
            except Exception as error:
                run.failed += 1
                print(f"FAIL: {setting}: {type(error).__name__}: {error}")
        print(f"{run.passed} passed, {run.failed} failed")
        return 0 if run.failed == 0 else 1
    finally:
        stop(window)
        bus.terminate()
        server.terminate()
        state.cleanup()


if __name__ == "__main__":
    sys.exit(main())
