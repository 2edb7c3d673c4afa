#!/usr/bin/env python3
"""Answers datagrams sent to a multicast group, for the end-to-end tests.

Runs inside a test's device namespace: joins GROUP on the interface with
address IFACE, and answers every datagram on PORT with "pong:" plus its
payload, sent back to the sender. Stops by itself after --seconds.
"""
import argparse
import select
import socket
import struct
import sys
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--iface", required=True, help="local address to join the group on")
    ap.add_argument("--group", default="224.0.0.1")
    ap.add_argument("--port", type=int, default=13599)
    ap.add_argument("--seconds", type=float, default=120.0)
    args = ap.parse_args()

    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM, socket.IPPROTO_UDP)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind(("0.0.0.0", args.port))
    mreq = struct.pack("4s4s", socket.inet_aton(args.group), socket.inet_aton(args.iface))
    s.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, mreq)
    print("mcast-echo: listening on %s:%d via %s" % (args.group, args.port, args.iface), flush=True)

    deadline = time.monotonic() + args.seconds
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            return 0
        ready, _, _ = select.select([s], [], [], min(left, 1.0))
        if not ready:
            continue
        data, sender = s.recvfrom(2048)
        print("mcast-echo: %r from %s:%d" % (data, sender[0], sender[1]), flush=True)
        s.sendto(b"pong:" + data, sender)


if __name__ == "__main__":
    sys.exit(main())
