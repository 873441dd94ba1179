#!/usr/bin/env python3
"""Times the image requests a program sends to the X server, as the server sees them.

Usage: xrequest_times.py LISTEN_DISPLAY_NUMBER TARGET_DISPLAY_NUMBER OUTFILE

Listens on the X display LISTEN (a local socket), passes every connection through to the
display TARGET unchanged, and records for each request of each client the instant it arrived
(nanoseconds of the monotonic clock), its major and minor opcode and its length. The file is
written when the last client has gone. Image requests are PutImage (major 72) and MIT-SHM's
ShmPutImage (minor 3 of an extension major code, 40 bytes long).
"""
import os
import selectors
import socket
import struct
import sys
import time


def pad4(n):
    return (n + 3) & ~3


class Connection:
    def __init__(self, client, server, index):
        self.client, self.server, self.index = client, server, index
        self.buffer = b""
        self.setup_done = False
        self.order = "<"

    def parse(self, t, records):
        b = self.buffer
        pos = 0
        if not self.setup_done:
            if len(b) < 12:
                return
            self.order = "<" if b[0:1] == b"l" else ">"
            name_len, data_len = struct.unpack(self.order + "HH", b[6:10])
            need = 12 + pad4(name_len) + pad4(data_len)
            if len(b) < need:
                return
            pos = need
            self.setup_done = True
        while len(b) - pos >= 4:
            major, minor = b[pos], b[pos + 1]
            (length,) = struct.unpack(self.order + "H", b[pos + 2:pos + 4])
            if length == 0:  # BIG-REQUESTS: the length follows as 32 bits
                if len(b) - pos < 8:
                    break
                (length,) = struct.unpack(self.order + "I", b[pos + 4:pos + 8])
            size = length * 4
            if size < 4 or len(b) - pos < size:
                break
            records.append((t, self.index, major, minor, size))
            pos += size
        self.buffer = b[pos:]


def main():
    listen, target, outfile = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    path = f"/tmp/.X11-unix/X{listen}"
    if os.path.exists(path):
        os.unlink(path)
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(path)
    listener.listen(8)
    sel = selectors.DefaultSelector()
    sel.register(listener, selectors.EVENT_READ, None)
    records = []
    open_connections = 0
    seen_any = False
    count = 0
    try:
        while not seen_any or open_connections > 0:
            for key, _ in sel.select():
                if key.data is None:
                    client, _ = listener.accept()
                    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                    server.connect(f"/tmp/.X11-unix/X{target}")
                    conn = Connection(client, server, count)
                    count += 1
                    sel.register(client, selectors.EVENT_READ, ("c", conn))
                    sel.register(server, selectors.EVENT_READ, ("s", conn))
                    open_connections += 1
                    seen_any = True
                    continue
                side, conn = key.data
                src = conn.client if side == "c" else conn.server
                dst = conn.server if side == "c" else conn.client
                data = src.recv(1 << 20)
                t = time.monotonic_ns()
                if not data:
                    for s in (conn.client, conn.server):
                        sel.unregister(s)
                        s.close()
                    open_connections -= 1
                    continue
                if side == "c":
                    conn.buffer += data
                    conn.parse(t, records)
                dst.sendall(data)
    finally:
        os.unlink(path)
        with open(outfile, "w") as f:
            for r in records:
                f.write("%d %d %d %d %d\n" % r)


if __name__ == "__main__":
    main()
