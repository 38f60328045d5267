"""Walks the window's accessible tree as a screen reader sees it over AT-SPI.

Prints the tree (role, name, description), then checks that every control a
reader stops at has a name, unique in the window, that no description carries
markup, that the pictures are images, that a picture's keyboard cursor is told
as it moves and acts, and that a run does not flood the reader with the
iteration counter's value. Exits non-zero on any fault.

Run by run_a11y_check.sh, which starts the buses, the X server and the window
(RDSIM_PID) and hands over xdotool (XDOTOOL).
"""

import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

RDSIM_PID = int(os.environ["RDSIM_PID"])
XDOTOOL = os.environ.get("XDOTOOL", "xdotool")
WINDOW_TITLE = "Reaction-Diffusion simulator"

# Roles whose objects a reader stops at; each needs a name of its own.
CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON: "push button",
    pyatspi.ROLE_TEXT: "text box",
    pyatspi.ROLE_ENTRY: "text box",
    pyatspi.ROLE_SLIDER: "slider",
    pyatspi.ROLE_COMBO_BOX: "combo box",
    pyatspi.ROLE_LIST: "list",
    pyatspi.ROLE_IMAGE: "picture",
    pyatspi.ROLE_RADIO_BUTTON: "radio button",
    pyatspi.ROLE_MENU_ITEM: "menu item",
    pyatspi.ROLE_MENU: "menu",
}

REQUIRED_NAMES = [
    "Field size", "Iterations per image", "Spiral", "Brush radius", "Brush intensity",
    "Activator brush", "Inhibitor brush", "Field", "Activator profile", "Inhibitor profile",
    "Phase plane", "Brush preview", "Iteration count", "Start", "Random", "Clear", "Save preset",
    "k4, factor of u in the inhibitor equation",
] + [f"k{k}, " for k in range(11)]  # prefixes: every coefficient box by its key

PICTURES = {"Field", "Activator profile", "Inhibitor profile", "Phase plane", "Brush preview",
            "Activator brush", "Inhibitor brush"}

MARKUP = re.compile(r"<\s*/?\s*[A-Za-z!][^>]*>|&(?:[A-Za-z]+|#\d+|#x[0-9A-Fa-f]+);")

RUN_SECONDS = 2.5


class Node:
    def __init__(self, accessible, depth):
        self.accessible = accessible
        self.depth = depth
        self.role = accessible.getRole()
        self.role_name = accessible.getRoleName()
        self.name = accessible.name or ""
        self.description = accessible.description or ""
        self.value = None
        try:
            self.value = accessible.queryValue().currentValue
        except NotImplementedError:
            pass


def find_window(timeout=30.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            os.kill(RDSIM_PID, 0)
        except ProcessLookupError:
            return None
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            try:
                if app.get_process_id() != RDSIM_PID:
                    continue
                for i in range(app.childCount):
                    frame = app.getChildAtIndex(i)
                    if frame is not None and frame.name == WINDOW_TITLE:
                        return frame
            except Exception:  # the application is still registering
                pass
        time.sleep(0.2)
    return None


def walk(accessible, depth=0, nodes=None):
    nodes = [] if nodes is None else nodes
    node = Node(accessible, depth)
    nodes.append(node)
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1, nodes)
    return nodes


def listing(nodes):
    for node in nodes:
        value = "" if node.value is None else f" = {node.value:g}"
        print(f"{'  ' * node.depth}{node.role_name} | {node.name!r}{value} | {node.description!r}")


def check_tree(nodes):
    faults = []
    seen = {}
    for node in nodes:
        if MARKUP.search(node.description):
            faults.append(f"{node.role_name} {node.name!r}: markup in its description {node.description!r}")
        if MARKUP.search(node.name):
            faults.append(f"{node.role_name} {node.name!r}: markup in its name")
        if node.role not in CONTROL_ROLES:
            continue
        if not node.name.strip():
            faults.append(f"a {CONTROL_ROLES[node.role]} without a name (description {node.description!r})")
            continue
        seen.setdefault(node.name, []).append(node)
    for name, holders in seen.items():
        if len(holders) > 1:
            faults.append(f"{len(holders)} controls share the name {name!r}: "
                          + ", ".join(h.role_name for h in holders))

    names = [node.name for node in nodes]
    for required in REQUIRED_NAMES:
        if not any(name == required or (required.endswith(", ") and name.startswith(required))
                   for name in names):
            faults.append(f"nothing is called {required!r}")
    images = {node.name: node for node in nodes if node.role == pyatspi.ROLE_IMAGE}
    for picture in sorted(PICTURES):
        if picture not in images:
            faults.append(f"the picture {picture!r} is not in the tree as an image")
        elif not images[picture].description:
            faults.append(f"the picture {picture!r} has no description")
    counters = [node for node in nodes if node.name == "Iteration count"]
    if counters and counters[0].value is None:
        faults.append("the iteration counter gives no value")
    return faults


def click_centre(accessible):
    extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x = extents.x + extents.width // 2
    y = extents.y + extents.height // 2
    subprocess.run([XDOTOOL, "mousemove", str(x), str(y), "click", "1"], check=True)


def check_cursor_announcement(nodes):
    """Moves the activator profile's cursor from the keyboard, sets a cell
    with Enter, and listens for what a reader hears of it."""
    picture = next((n.accessible for n in nodes
                    if n.role == pyatspi.ROLE_IMAGE and n.name == "Activator profile"), None)
    if picture is None:
        return ["no activator profile to move a cursor in"]
    heard = []

    def on_event(event):
        try:
            if event.source is not None and event.source.name == "Activator profile":
                heard.append(event.source.description or "")
        except Exception:
            pass

    kind = "object:property-change:accessible-description"
    pyatspi.Registry.registerEventListener(on_event, kind)

    def focus():
        # Keys go to the window with the X input focus; there is no window
        # manager to give it.
        subprocess.run([XDOTOOL, "search", "--pid", str(RDSIM_PID), "--name", WINDOW_TITLE, "windowfocus", "%1"],
                       check=False)
        picture.queryComponent().grabFocus()
        GLib.timeout_add(400, move)
        return False

    def move():
        subprocess.run([XDOTOOL, "key", "--delay", "50", "Up", "Up", "Right"], check=True)
        GLib.timeout_add(600, press)
        return False

    def press():
        subprocess.run([XDOTOOL, "key", "Return"], check=True)
        return False

    GLib.timeout_add(700, focus)
    GLib.timeout_add(3000, lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_event, kind)

    final = picture.description or ""
    print(f"\nThe activator profile's cursor was told {len(heard)} times: {heard}; now {final!r}.")
    faults = []
    place = re.compile(r"^x \d+, height 5\.2: u \d+\.\d\d")
    if not any(place.match(text) for text in heard):
        faults.append(f"no description change told the cursor at height 5.2 (heard {heard})")
    if not re.fullmatch(r"x \d+, height 5\.2: u 5\.20", final):
        faults.append(f"after Enter the profile's description is {final!r}, not the set cell's value")
    return faults


def check_run_announcements(nodes):
    """Runs for a while and counts the counter's value events a reader gets."""
    faults = []
    start = next((n.accessible for n in nodes if n.role == pyatspi.ROLE_PUSH_BUTTON and n.name == "Start"), None)
    counter = next((n.accessible for n in nodes if n.name == "Iteration count"), None)
    if start is None or counter is None:
        return ["no Start button or no counter to watch a run with"]

    events = []
    other_counter_events = []

    def on_event(event):
        try:
            if event.source is not None and event.source.name == "Iteration count":
                (events if event.type.endswith("accessible-value") else other_counter_events).append(
                    (time.monotonic(), event.type))
        except Exception:
            pass

    kinds = ["object:property-change:accessible-value", "object:property-change:accessible-name",
             "object:text-changed"]
    for kind in kinds:
        pyatspi.Registry.registerEventListener(on_event, kind)
    times = {}

    def press_start():
        times["start"] = time.monotonic()
        click_centre(start)
        return False

    def press_stop():
        times["stop"] = time.monotonic()
        click_centre(start)  # the same button, now "Stop"
        return False

    # The window learns of the listeners over the bus; give it a moment.
    GLib.timeout_add(700, press_start)
    GLib.timeout_add(700 + int(RUN_SECONDS * 1000), press_stop)
    GLib.timeout_add(700 + int(RUN_SECONDS * 1000) + 1200, lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    for kind in kinds:
        pyatspi.Registry.deregisterEventListener(on_event, kind)

    steps = int(counter.queryValue().currentValue)
    seconds = times["stop"] - times["start"] if {"start", "stop"} <= times.keys() else RUN_SECONDS
    print(f"\nRun of {seconds:.1f} s: {steps} steps, {len(events)} value events and "
          f"{len(other_counter_events)} other events from the counter.")
    if steps < 50:
        faults.append(f"the run made only {steps} steps; the throttle was not put to the test")
    if not events:
        faults.append("the counter announced no value during the run")
    # Four a second at most, plus the first change and the last one after Stop.
    allowed = int((seconds + 1.0) * 4) + 2
    if len(events) > allowed:
        faults.append(f"the counter sent {len(events)} value events in {seconds:.1f} s (at most {allowed})")
    if len(other_counter_events) > 2:
        faults.append(f"the counter sent {len(other_counter_events)} name or text events during the run")
    # The bus delivers with some jitter, so the spacing is judged over a second.
    stamps = [stamp for stamp, _ in events]
    busiest = max((sum(1 for t in stamps if s <= t < s + 1.0) for s in stamps), default=0)
    print(f"At most {busiest} value events within any one second.")
    if busiest > 6:
        faults.append(f"{busiest} value events from the counter within one second")
    return faults


def main():
    window = find_window()
    if window is None:
        apps = []
        for app in pyatspi.Registry.getDesktop(0):
            try:
                apps.append(f"{app.name!r} (pid {app.get_process_id()})")
            except Exception as error:
                apps.append(f"? ({error})")
        print("FAIL: the window did not show up on the accessibility bus; applications there: "
              + (", ".join(apps) or "none"), file=sys.stderr)
        return 1
    nodes = walk(window)
    listing(nodes)
    faults = check_tree(nodes)
    faults += check_cursor_announcement(nodes)
    faults += check_run_announcements(nodes)
    for fault in faults:
        print(f"FAIL: {fault}", file=sys.stderr)
    controls = sum(1 for node in nodes if node.role in CONTROL_ROLES)
    print(f"\n{len(nodes)} objects, {controls} controls checked, {len(faults)} faults.")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
