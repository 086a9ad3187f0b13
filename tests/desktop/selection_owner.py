#!/usr/bin/env python3
"""Prints the owner of an X selection (0 for none) on $DISPLAY (a local
display without authorization), asked with the core protocol over the
display's socket: GetSelectionOwner needs no client library.

  selection_owner.py SELECTION
"""
import os
import socket
import struct
import sys


def connect():
    display = os.environ["DISPLAY"]
    number = display.split(":")[1].split(".")[0]
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.connect("/tmp/.X11-unix/X" + number)
    # The tests' own Xvfb asks for no cookie.
    sock.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, 0, 0))
    head = recv(sock, 8)
    if head[0] != 1:
        sys.exit("the X server refused the connection")
    recv(sock, struct.unpack("<H", head[6:8])[0] * 4)
    return sock


def recv(sock, n):
    data = b""
    while len(data) < n:
        part = sock.recv(n - len(data))
        if not part:
            sys.exit("the X server closed the connection")
        data += part
    return data


def reply(sock):
    while True:
        packet = recv(sock, 32)
        if packet[0] == 1:
            return packet
        if packet[0] == 0:
            sys.exit("X error %d" % packet[1])


def main():
    sock = connect()
    name = sys.argv[1].encode()
    sock.sendall(struct.pack("<BBHHxx", 16, 0, 2 + (len(name) + 3) // 4, len(name)) + name + b"\0" * (-len(name) % 4))
    atom = struct.unpack("<I", reply(sock)[8:12])[0]
    sock.sendall(struct.pack("<BxHI", 23, 2, atom))
    print(struct.unpack("<I", reply(sock)[8:12])[0])


main()
