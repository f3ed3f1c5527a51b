#!/usr/bin/env python3
"""Writes the firmware the loader carries: an Intel HEX file of 1807 lines, version 171123.

Three address regions, each opened by an extended linear address record: program memory from 0
(0x0000), a data block at 0x300000 (0x0030) and configuration bytes at 0xF00000 (0x00F0); the file
ends with ":00000001FF". The bytes are a fixed pseudo-random program with the version text placed at
0x0100, so the output is the same on every run.

    python3 tools/firmware/make_firmware.py [OUTPUT]   (default: tools/firmware/firmware.hex)
"""
import os
import sys

VERSION = b"171123"
TOTAL_LINES = 1807
RECORD_BYTES = 16
# Data records per region; with the three address records and the end record they make 1807 lines.
REGIONS = [(0x0000, 1700), (0x0030, 96), (0x00F0, 7)]
VERSION_ADDRESS = 0x0100


def record(rtype, address, data):
    body = bytes([len(data), (address >> 8) & 0xFF, address & 0xFF, rtype]) + bytes(data)
    checksum = (256 - sum(body) % 256) % 256
    return ":" + body.hex().upper() + "%02X" % checksum


def program_bytes(seed, count):
    state = seed
    out = bytearray()
    for _ in range(count):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out.append((state >> 16) & 0xFF)
    return out


def firmware_lines():
    lines = []
    for index, (upper, records) in enumerate(REGIONS):
        lines.append(record(4, 0, [upper >> 8, upper & 0xFF]))
        data = program_bytes(0x5EED + index, records * RECORD_BYTES)
        if upper == 0:
            data[VERSION_ADDRESS:VERSION_ADDRESS + len(VERSION)] = VERSION
        for r in range(records):
            chunk = data[r * RECORD_BYTES:(r + 1) * RECORD_BYTES]
            lines.append(record(0, r * RECORD_BYTES, chunk))
    lines.append(":00000001FF")
    assert len(lines) == TOTAL_LINES, len(lines)
    return lines


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "firmware.hex")
    with open(output, "w", newline="\r\n") as f:
        f.write("\n".join(firmware_lines()) + "\n")


if __name__ == "__main__":
    main()
