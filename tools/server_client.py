#!/usr/bin/env python3
"""Client side of the scoreboard's test script (tools/server_tests.sh): makes replay
variants and forgeries, and sends submissions the way hostile, racing or crashing clients do.

    server_client.py variants IN.vtr OUTDIR N      N copies that differ only in their start time
    server_client.py forge-score IN.vtr OUT.vtr    a higher score in the header, checksum right
    server_client.py forge-body IN.vtr OUT.vtr     a header claiming a 4 GiB unpacked body
    server_client.py post URL FILE...              prints the status of each, one a line
    server_client.py burst URL LOG FILE...         posts them 4 at a time, logs "201 sha" lines
    server_client.py race URL1 URL2 FILE           the same file to both at the same moment
    server_client.py drip URL                      a body dripped a byte every 200 ms
    server_client.py oversize URL BYTES            a body over the limit
"""
import hashlib
import http.client
import os
import socket
import struct
import sys
import threading
import time
import urllib.parse
import zlib


def header_fields(data):
    """Offsets of the header fields that the tests change."""
    at = 8 + 2 + 1
    at += 1 + data[at]  # game version
    started = at
    at += 8
    score = at
    at += 1 + data[at]
    at += 1  # level
    at += 1 + data[at]  # name
    at += 4  # frames
    return started, score, at  # at: u32 packed, u32 unpacked


def with_crc(body):
    return body + struct.pack("<I", zlib.crc32(body) & 0xFFFFFFFF)


def variants(src, outdir, n):
    data = open(src, "rb").read()
    started, _, _ = header_fields(data)
    os.makedirs(outdir, exist_ok=True)
    (base,) = struct.unpack_from("<q", data, started)
    for i in range(n):
        d = bytearray(data[:-4])
        struct.pack_into("<q", d, started, base + 1 + i)
        open(os.path.join(outdir, "v%04d.vtr" % i), "wb").write(with_crc(bytes(d)))


def forge_score(src, out):
    data = open(src, "rb").read()
    _, score, _ = header_fields(data)
    n = data[score]
    digits = data[score + 1:score + 1 + n]
    forged = (b"9" + digits)[:255]
    d = data[:score] + bytes([len(forged)]) + forged + data[score + 1 + n:-4]
    open(out, "wb").write(with_crc(d))


def forge_body(src, out):
    data = open(src, "rb").read()
    _, _, sizes = header_fields(data)
    d = bytearray(data[:-4])
    struct.pack_into("<I", d, sizes + 4, 0xFFFFFFF0)
    open(out, "wb").write(with_crc(bytes(d)))


def post(url, body, timeout=60):
    u = urllib.parse.urlsplit(url)
    c = http.client.HTTPConnection(u.hostname, u.port, timeout=timeout)
    try:
        c.request("POST", "/api/v1/replays", body, {"Content-Type": "application/octet-stream"})
        r = c.getresponse()
        return r.status, r.read()
    finally:
        c.close()


def burst(url, log, files):
    """Posts the files four at a time; each 201 is written to the log at once, with its
    SHA-256, so that a kill of the server leaves the list of what it acknowledged."""
    out = open(log, "a", buffering=1)
    lock = threading.Lock()
    queue = list(files)

    def work():
        while True:
            with lock:
                if not queue:
                    return
                f = queue.pop()
            body = open(f, "rb").read()
            try:
                status, _ = post(url, body, timeout=30)
            except OSError:
                continue
            if status == 201:
                with lock:
                    out.write("201 %s\n" % hashlib.sha256(body).hexdigest())
                    out.flush()
                    os.fsync(out.fileno())

    threads = [threading.Thread(target=work) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


def race(url1, url2, f):
    body = open(f, "rb").read()
    barrier = threading.Barrier(2)
    results = {}

    def one(url):
        barrier.wait()
        results[url] = post(url, body)[0]

    threads = [threading.Thread(target=one, args=(u,)) for u in (url1, url2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    print(" ".join(str(results[u]) for u in (url1, url2)))


def drip(url):
    u = urllib.parse.urlsplit(url)
    s = socket.create_connection((u.hostname, u.port), timeout=30)
    s.sendall(b"POST /api/v1/replays HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\n")
    s.setblocking(False)
    reply = b""
    began = time.time()
    while time.time() - began < 30:
        try:
            s.send(b"V")
        except OSError:
            break
        time.sleep(0.2)
        try:
            chunk = s.recv(4096)
            if not chunk:
                break
            reply += chunk
            break
        except BlockingIOError:
            pass
    s.close()
    status = reply.split(b" ")[1].decode() if reply.startswith(b"HTTP/") else "closed"
    print("%s %.1f" % (status, time.time() - began))


def oversize(url, size):
    try:
        print(post(url, b"V" * size)[0])
    except OSError:
        print("closed")


def main():
    cmd, args = sys.argv[1], sys.argv[2:]
    if cmd == "variants":
        variants(args[0], args[1], int(args[2]))
    elif cmd == "forge-score":
        forge_score(args[0], args[1])
    elif cmd == "forge-body":
        forge_body(args[0], args[1])
    elif cmd == "post":
        for f in args[1:]:
            print(post(args[0], open(f, "rb").read())[0], f)
    elif cmd == "burst":
        burst(args[0], args[1], args[2:])
    elif cmd == "race":
        race(args[0], args[1], args[2])
    elif cmd == "drip":
        drip(args[0])
    elif cmd == "oversize":
        oversize(args[0], int(args[1]))
    else:
        sys.exit("unknown command " + cmd)


if __name__ == "__main__":
    main()
