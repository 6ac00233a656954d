#!/usr/bin/python3
"""Input and pictures on a headless mutter as a real remote-desktop client delivers them.

Holds one org.gnome.Mutter.RemoteDesktop session with a screen cast of the monitor Meta-0 (mutter
ends both when their D-Bus client goes), prints the cast's PipeWire node, then reads commands
from stdin, one a line, until it ends:
  move DX DY        relative pointer motion
  key KEYSYM 1|0    a key pressed or released, by X keysym number
"""
import sys

from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(name, path, interface, method, args=None, reply="()"):
    return bus.call_sync(name, path, interface, method, args, GLib.VariantType(reply),
                         Gio.DBusCallFlags.NONE, 5000, None).unpack()


RD, SC = "org.gnome.Mutter.RemoteDesktop", "org.gnome.Mutter.ScreenCast"
session = call(RD, "/org/gnome/Mutter/RemoteDesktop", RD, "CreateSession", reply="(o)")[0]
session_id = call(RD, session, "org.freedesktop.DBus.Properties", "Get",
                  GLib.Variant("(ss)", (RD + ".Session", "SessionId")), "(v)")[0]
cast = call(SC, "/org/gnome/Mutter/ScreenCast", SC, "CreateSession",
            GLib.Variant("(a{sv})", ({"remote-desktop-session-id": GLib.Variant("s", session_id)},)),
            "(o)")[0]
# The pointer drawn into the picture: moving it makes a frame even of a still screen.
stream = call(SC, cast, SC + ".Session", "RecordMonitor",
              GLib.Variant("(sa{sv})", ("Meta-0", {"cursor-mode": GLib.Variant("u", 1)})), "(o)")[0]

loop = GLib.MainLoop()
node = []


def on_stream(_connection, _sender, _path, _interface, _signal, parameters):
    node.append(parameters.unpack()[0])
    loop.quit()


bus.signal_subscribe(SC, SC + ".Stream", "PipeWireStreamAdded", stream, None, Gio.DBusSignalFlags.NONE, on_stream)
call(RD, session, RD + ".Session", "Start")
GLib.timeout_add_seconds(10, loop.quit)
loop.run()
print(node[0] if node else "none", flush=True)

for line in sys.stdin:
    words = line.split()
    if words[:1] == ["move"]:
        call(RD, session, RD + ".Session", "NotifyPointerMotionRelative",
             GLib.Variant("(dd)", (float(words[1]), float(words[2]))))
    elif words[:1] == ["key"]:
        call(RD, session, RD + ".Session", "NotifyKeyboardKeysym",
             GLib.Variant("(ub)", (int(words[1], 0), words[2] == "1")))
    print("done", flush=True)
