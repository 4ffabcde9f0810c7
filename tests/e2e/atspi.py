"""Finds the player's controls through AT-SPI by their accessible names, as a screen reader does.

    atspi.py press NAME      waits for a shown control of that name and presses it
    atspi.py wait NAME       waits for a shown control of that name
"""
import sys, time
import pyatspi

def find(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None or app.name not in ("kivo-player", "Kivo Player"):
            continue
        found = pyatspi.findDescendant(app, lambda a: a is not None and a.name == name and
                                       a.getState().contains(pyatspi.STATE_SHOWING))
        if found:
            return found
    return None

def wait(name, seconds=60):
    end = time.time() + seconds
    while time.time() < end:
        found = find(name)
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"no control named {name!r}")

if __name__ == "__main__":
    what, name = sys.argv[1], sys.argv[2]
    control = wait(name)
    if what == "press":
        control.queryAction().doAction(0)
