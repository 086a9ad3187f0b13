#!/usr/bin/env python3
"""link_flood.py texts COUNT KB | requests CODE COUNT: posts COUNT texts of KB
kilobytes each, or COUNT requests with the code, to the companion's window as
fast as it takes them (a send blocks while its queue is full, so every
datagram arrives)."""
import os
import socket
import struct
import sys

WM_COMPANION, WM_COPYDATA = 0x464, 0x4A


def header(msg, wparam):
    return struct.pack("<IIQq", msg, 0, wparam, 0)


def text(body):
    return header(WM_COPYDATA, 0) + struct.pack("<QII", 0, len(body) + 1, 0) + body + b"\0"


def main(kind, *args):
    path = os.path.join(os.environ["XDG_RUNTIME_DIR"], "perch", "TActor")
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1 << 20)
    if kind == "texts":
        count, kb = int(args[0]), int(args[1])
        for i in range(count):
            line = f"flood text {i} ".encode()
            sock.sendto(text((line * (kb * 1024 // len(line) + 1))[: kb * 1024 - 30]), path)
    else:
        code, count = int(args[0]), int(args[1])
        for _ in range(count):
            sock.sendto(header(WM_COMPANION, code), path)


if __name__ == "__main__":
    main(*sys.argv[1:])
