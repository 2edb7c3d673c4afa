#!/usr/bin/env python3
"""Floods the protocol group with foreign datagrams at a steady rate.

    flooder.py KIND --source ADDRESS [--rate N] [--seconds S]
               [--device ADDRESS] [--mac HEX12]

KIND is one of
  requests   other clients' discovery requests (type 1, 11 bytes)
  malformed  empty, short, wrong-length, random and oversize datagrams, of
             every type but the query and set replies (4, 6): those, with
             a foreign id, cost the waiting query a try (see replies)
  replies    other clients' replies: discovery (2, 7, 8), query (4) and
             set (6), naming --device / --mac, with foreign client ids

Datagrams go to 224.0.0.1:13579 out of the interface that holds --source,
multicast loop-back off, so only the other end of that link sees them.
Sending is paced by the monotonic clock in bursts of about 2 ms. Runs
until --seconds have passed (0: until SIGTERM or SIGINT), then prints one
line: "sent N datagrams in T s: R/s".
"""

import argparse
import random
import signal
import socket
import struct
import sys
import time

GROUP = "224.0.0.1"
PORT = 13579
PACKET_BUFFER = 4096
BURST_SECONDS = 0.002
REPLY_TYPES_THAT_COST_TRIES = (4, 6)


def client_id(rng):
    # Six random bytes and four zeros; the first byte never matches a
    # given id by chance more often than any other.
    return bytes(rng.getrandbits(8) for _ in range(6)) + bytes(4)


def header(kind, cid, mac, device, code=0):
    return bytes([kind]) + cid + mac + device + bytes([code]) + bytes(2)


def text_field(text, width):
    return text.encode()[:width].ljust(width, b"\0")


def requests(rng, count):
    return [bytes([1]) + client_id(rng) for _ in range(count)]


def malformed(rng, count):
    out = [
        b"",  # empty datagram
        bytes([2]),  # type byte only
        bytes([2]) + bytes(9),  # shorter than the header
        bytes([1]) + bytes(5),  # a discovery request cut short
        bytes([8]) + bytes(50),  # a model reply cut inside its fixed part
    ]
    cid = client_id(rng)
    mac = bytes(6)
    dev = bytes([10, 201, 1, 10])
    # Length fields that claim more than the datagram holds.
    for length in (4000, 0xFFFFFFFF, 0x7FFFFFFF):
        out.append(header(3, cid, mac, dev, 19) + struct.pack("<I", length) + b"X" * 8)
        out.append(header(2, cid, mac, dev, ord("0")) + text_field("255.255.255.0", 16) +
                   text_field("", 16) + struct.pack("<I", length) + b"Y" * 4)
    # Oversize: a full buffer, one byte more, and twice the buffer, with
    # no terminator anywhere.
    for size in (PACKET_BUFFER, PACKET_BUFFER + 1, 2 * PACKET_BUFFER):
        for kind in (2, 8, 0xFF):
            out.append(bytes([kind]) + b"\xff" * (size - 1))
    while len(out) < count:
        size = rng.choice((rng.randrange(1, 64), rng.randrange(1, PACKET_BUFFER + 1)))
        junk = bytearray(rng.getrandbits(8) for _ in range(size))
        if junk[0] in REPLY_TYPES_THAT_COST_TRIES:
            junk[0] = 0xFF
        out.append(bytes(junk))
    return out


def replies(rng, count, mac, device):
    out = []
    while len(out) < count:
        cid = client_id(rng)
        settings = text_field("255.255.255.0", 16) + text_field("", 16)
        name = b"Flood"
        out.append(header(2, cid, mac, device, ord("0")) + settings +
                   struct.pack("<I", len(name)) + name)
        classed = settings + bytes([3, 3]) + bytes(10)
        out.append(header(7, cid, mac, device, ord("0")) + classed +
                   struct.pack("<I", len(name)) + name)
        out.append(header(8, cid, mac, device, ord("0")) + classed + text_field("FL-1", 32) +
                   struct.pack("<I", len(name)) + name)
        out.append(header(4, cid, mac, device, 19) + struct.pack("<I", 2) + b"1\0")
        out.append(header(6, cid, mac, device, 1) + settings + struct.pack("<I", 0))
    return out


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("kind", choices=("requests", "malformed", "replies"))
    p.add_argument("--source", required=True, help="local address of the flooding interface")
    p.add_argument("--rate", type=int, default=10000, help="datagrams a second")
    p.add_argument("--seconds", type=float, default=0.0)
    p.add_argument("--device", default="10.201.1.10", help="device address named in replies")
    p.add_argument("--mac", default="020000000001", help="device MAC named in replies (hex)")
    p.add_argument("--seed", type=int, default=11)
    a = p.parse_args()

    rng = random.Random(a.seed)
    if a.kind == "requests":
        datagrams = requests(rng, 512)
    elif a.kind == "malformed":
        datagrams = malformed(rng, 512)
    else:
        datagrams = replies(rng, 512, bytes.fromhex(a.mac), socket.inet_aton(a.device))

    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_LOOP, 0)
    s.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(a.source))
    s.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 4 << 20)
    target = (GROUP, PORT)

    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))

    sent = 0
    dropped = 0
    i = 0
    n = len(datagrams)
    start = time.monotonic()
    now = start
    while not stop and (a.seconds <= 0 or now - start < a.seconds):
        # Catch up with the schedule, then sleep to the next burst.
        due = int((now - start) * a.rate)
        while sent + dropped < due:
            try:
                s.sendto(datagrams[i], target)
                sent += 1
            except (BlockingIOError, OSError):
                dropped += 1
            i = i + 1 if i + 1 < n else 0
        time.sleep(BURST_SECONDS)
        now = time.monotonic()
    elapsed = time.monotonic() - start
    rate = sent / elapsed if elapsed > 0 else 0.0
    print("sent %d datagrams in %.2f s: %d/s (%d failed sends)" % (sent, elapsed, rate, dropped))
    sys.stdout.flush()
    return 0


if __name__ == "__main__":
    sys.exit(main())
