"""Asks a freshly started player over MPRIS for its playback status every 10 ms, from the moment its service
appears until the player ends; sends Play first. Prints the Play reply and the longest replies (ms), and when
the longest was asked (seconds after the service appeared), to tell it from the player's own moments (the
engine loading, the release of library pages some 2 s after the first file opens)."""
import sys
import time

import gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
name = None
deadline = time.time() + 30
while time.time() < deadline and not name:
    names = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames",
                          None, None, 0, -1, None).unpack()[0]
    name = next((n for n in names if n.startswith("org.mpris.MediaPlayer2.")), None)
    time.sleep(0.005)
if not name:
    sys.exit("no MPRIS service appeared")


def timed(interface, method, args=None):
    start = time.perf_counter()
    bus.call_sync(name, "/org/mpris/MediaPlayer2", interface, method, args, None, 0, 5000, None)
    return (time.perf_counter() - start) * 1000


begin = time.perf_counter()
play = timed("org.mpris.MediaPlayer2.Player", "Play")
replies = []
status = GLib.Variant("(ss)", ("org.mpris.MediaPlayer2.Player", "PlaybackStatus"))
while True:
    try:
        asked = time.perf_counter() - begin
        replies.append((timed("org.freedesktop.DBus.Properties", "Get", status), asked))
    except GLib.Error:  # the player has ended
        break
    time.sleep(0.01)
replies.sort(reverse=True)
print(f"play {play:.1f} longest {replies[0][0]:.1f} at {replies[0][1]:.2f} second {replies[1][0]:.1f}"
      f" replies {len(replies)}")
