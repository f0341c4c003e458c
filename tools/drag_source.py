#!/usr/bin/python3
"""A drag source for end-to-end tests: a small GTK 3 window whose button
drags the given files (as text/uri-list), the way a desktop file manager
does. It prints "ready" once it is on the screen and ends after one drag.

    /usr/bin/python3 tools/drag_source.py <x> <y> <file> [<file>...]
"""

import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    x, y = int(sys.argv[1]), int(sys.argv[2])
    uris = [GLib.filename_to_uri(path, None) for path in sys.argv[3:]]

    window = Gtk.Window(title="drag source")
    window.set_default_size(120, 60)
    window.move(x, y)
    button = Gtk.Button(label="drag me")
    window.add(button)
    button.drag_source_set(
        Gdk.ModifierType.BUTTON1_MASK,
        [Gtk.TargetEntry.new("text/uri-list", 0, 0)],
        Gdk.DragAction.COPY,
    )
    button.connect("drag-data-get", lambda _w, _c, selection, _i, _t: selection.set_uris(uris))
    button.connect("drag-end", lambda *_: GLib.timeout_add(200, Gtk.main_quit))
    window.connect("destroy", Gtk.main_quit)

    def announce(*_):
        print("ready", flush=True)
        return False

    window.connect("map-event", announce)
    window.show_all()
    GLib.timeout_add_seconds(60, Gtk.main_quit)  # never outlive the test
    Gtk.main()
    return 0


if __name__ == "__main__":
    sys.exit(main())
