#!/usr/bin/env python3
"""slow_listener.py OUT DELAY SECONDS: binds the controller's window and
writes each notice to OUT as "<code> notice", reading one datagram every
DELAY seconds, for at most SECONDS: a controller slower than the companion."""
import os
import socket
import struct
import sys
import time


def main(out, delay, seconds):
    folder = os.path.join(os.environ["XDG_RUNTIME_DIR"], "perch")
    os.makedirs(folder, mode=0o700, exist_ok=True)
    path = os.path.join(folder, "TFrmTuliMain")
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    sock.bind(path)
    end = time.monotonic() + float(seconds)
    with open(out, "a", buffering=1) as notices:
        while time.monotonic() < end:
            sock.settimeout(max(end - time.monotonic(), 0.01))
            try:
                data = sock.recv(65536)
            except socket.timeout:
                break
            if len(data) >= 24:
                _, _, code, _ = struct.unpack("<IIQq", data[:24])
                notices.write(f"{code} notice\n")
            time.sleep(float(delay))
    os.unlink(path)


if __name__ == "__main__":
    main(*sys.argv[1:])
