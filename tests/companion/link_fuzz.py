#!/usr/bin/env python3
"""link_fuzz.py COUNT [SEED]: posts COUNT random and malformed datagrams to the
companion's window: random bytes, short and oversized datagrams, texts whose
cbData exceeds what is sent, texts without a NUL, invalid UTF-8, non-zero
reserved fields, unknown messages and requests; never the quit request. The
datagrams are built here, apart from the link's own encoder. Blocks while the
companion's queue is full, so that every datagram arrives."""
import errno
import os
import random
import socket
import struct
import sys

WM_COMPANION, WM_COPYDATA, HEADER, MAX = 0x464, 0x4A, 24, 65536


def message(msg, wparam):
    return struct.pack("<IIQq", msg, 0, wparam, 0)


def copydata(text):
    return message(WM_COPYDATA, 0) + struct.pack("<QII", 0, len(text) + 1, 0) + text + b"\0"


def malformed(r, kind):
    if kind == 0:
        return r.randbytes(r.randrange(300))  # many shorter than a header
    if kind == 1:  # a text whose cbData claims more than was sent, no NUL
        data = bytearray(copydata(b"a" * r.randrange(200))[:-1])
        data[32:36] = struct.pack("<I", r.getrandbits(32) | 0x80000000)
        return bytes(data)
    if kind == 2:
        return copydata(r.randbytes(r.randrange(400)))  # mostly invalid UTF-8
    if kind == 3:  # an unknown message or request, some of the wrong length
        data = message(r.choice([WM_COMPANION, r.getrandbits(32)]), 6 + r.randrange(100000))
        return data + b"\xab" * (r.randrange(50) if r.randrange(2) else 0)
    if kind == 4:  # a text header cut short, or a non-zero reserved field
        data = bytearray(copydata(b"cut"))
        if r.randrange(2):
            return bytes(data[:HEADER + r.randrange(16)])
        data[4 + r.randrange(4)] = 1
        return bytes(data)
    return struct.pack("<II", WM_COPYDATA, 0) + r.randbytes(MAX - 7 + r.randrange(5000))  # oversized


def main(count=10000, seed=2026):
    r = random.Random(int(seed))
    path = os.path.join(os.environ["XDG_RUNTIME_DIR"], "perch", "TActor")
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1 << 20)
    sent = 0
    for i in range(int(count)):
        data = malformed(r, i % 6)
        if HEADER <= len(data) <= MAX and struct.unpack_from("<IIQ", data) == (WM_COMPANION, 0, 70):
            continue  # the quit request
        try:
            sock.sendto(data, path)
            sent += 1
        except OSError as error:
            if error.errno in (errno.ECONNREFUSED, errno.ENOENT):
                sys.exit(f"link_fuzz.py: the companion is gone after {sent} datagrams")
    print(f"{sent} datagrams sent")


if __name__ == "__main__":
    main(*sys.argv[1:])
