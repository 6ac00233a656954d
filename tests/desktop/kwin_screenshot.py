#!/usr/bin/python3
"""Writes KWin's picture of its screen to a PNG file, through its ScreenShot2 D-Bus service.

Usage: kwin_screenshot.py OUT.png
"""
import os
import subprocess
import sys

from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
reader, writer = os.pipe()
fds = Gio.UnixFDList.new()
handle = fds.append(writer)
reply, _ = bus.call_with_unix_fd_list_sync(
    "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureActiveScreen",
    GLib.Variant("(a{sv}h)", ({}, handle)), GLib.VariantType("(a{sv})"), Gio.DBusCallFlags.NONE, 5000, fds, None)
os.close(writer)
for fd in fds.steal_fds():  # the list's own copy of the writing end, or the read never ends
    os.close(fd)
image = reply.unpack()[0]
with os.fdopen(reader, "rb") as pipe:
    data = pipe.read()
# The picture is a QImage in 32-bit words: blue, green, red, alpha in memory.
size = "%dx%d" % (image["stride"] // 4, image["height"])
crop = "%dx%d+0+0" % (image["width"], image["height"])
subprocess.run(["convert", "-size", size, "-depth", "8", "bgra:-", "-crop", crop, "-alpha", "off", sys.argv[1]],
               input=data, check=True)
