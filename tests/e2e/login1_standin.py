#!/usr/bin/python3
# login1_standin.py: the part of systemd-logind's org.freedesktop.login1 that
# xscreensaver-systemd needs before it serves org.freedesktop.ScreenSaver: a
# "delay" inhibitor lock (a file descriptor) from Manager.Inhibit. It runs
# on the bus that $DBUS_SYSTEM_BUS_ADDRESS names (a private one in the
# tests: a container has no system bus and no logind), prints "ready" once
# it owns its name, and runs until it is killed.
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


class Manager(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/login1")
        # The write ends of the locks handed out: a lock holds while they are open.
        self.held = []

    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        read_end, write_end = os.pipe()
        self.held.append(write_end)
        print(f"inhibit {what} by {who} ({mode})", flush=True)
        lock = dbus.types.UnixFd(read_end)  # a duplicate goes out
        os.close(read_end)
        return lock


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])
    name = dbus.service.BusName("org.freedesktop.login1", bus, do_not_queue=True)
    manager = Manager(bus)
    print("ready", flush=True)
    GLib.MainLoop().run()
    return 0 if name and manager else 1


if __name__ == "__main__":
    sys.exit(main())
