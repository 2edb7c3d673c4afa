#!/usr/bin/env python3
"""Expected nexora-cli output for a device with long_texts = yes.

    long_text.py text TEMPLATE          prints the expected text output
    long_text.py json FILE TEMPLATE     compares FILE's JSON with TEMPLATE

In a template, a field "@N" stands for the first N bytes of the simulator's
long text (0x01 up to 0xff, then 0x00, repeated) and "@A:B" for bytes A to
B. Text output shows control bytes as '?'; JSON output carries the bytes
decoded as UTF-8, each invalid byte as U+FFFD.
"""

import json
import re
import sys

LONG = bytes((i + 1) & 0xFF for i in range(4096))
FIELD = re.compile(r"^@(\d+)(?::(\d+))?$")


def piece(field):
    m = FIELD.match(field)
    if not m:
        return None
    a, b = (0, int(m.group(1))) if m.group(2) is None else (int(m.group(1)), int(m.group(2)))
    return LONG[a:b]


def as_text(data):
    return bytes(ord("?") if c < 0x20 or c == 0x7F else c for c in data)


def expand(value):
    if isinstance(value, str):
        p = piece(value)
        return value if p is None else p.decode("utf-8", "replace")
    if isinstance(value, list):
        return [expand(v) for v in value]
    if isinstance(value, dict):
        return {k: expand(v) for k, v in value.items()}
    return value


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "text":
        lines = []
        for line in sys.argv[2].split("\n"):
            fields = []
            for f in line.split("\t"):
                p = piece(f)
                fields.append(f.encode() if p is None else as_text(p))
            lines.append(b"\t".join(fields))
        sys.stdout.buffer.write(b"\n".join(lines))
        return 0
    if len(sys.argv) == 4 and sys.argv[1] == "json":
        with open(sys.argv[2], "rb") as f:
            got = json.loads(f.read())
        expected = expand(json.loads(sys.argv[3]))
        if got == expected:
            return 0
        print("expected: %s" % json.dumps(expected)[:400])
        print("got:      %s" % json.dumps(got)[:400])
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
