#!/usr/bin/env python3
"""Cuts a one-folder cabinet into a set of two, the way spanning cabinet writers do: the data block
in the middle is split across the two cabinets, the member it holds is listed in both (continued
to the next / from the previous), and every member after it is listed in the second cabinet.
Usage: split_cabinet.py IN.cab FIRST.cab SECOND.cab (SECOND's name is what FIRST points to)."""
import os
import struct
import sys


def read_cabinet(data):
    assert data[:4] == b"MSCF", "not a cabinet"
    files_at, = struct.unpack_from("<I", data, 16)
    folders, files, flags = struct.unpack_from("<HHH", data, 26)
    assert folders == 1 and flags == 0, "only a lone one-folder cabinet without reserves is cut"
    data_at, blocks, compression = struct.unpack_from("<IHH", data, 36)
    members, at = [], files_at
    for _ in range(files):
        size, offset, _folder, date, time, attrs = struct.unpack_from("<IIHHHH", data, at)
        end = data.index(b"\0", at + 16)
        members.append((size, offset, date, time, attrs, data[at + 16:end]))
        at = end + 1
    block_list, at = [], data_at
    for _ in range(blocks):
        _sum, packed, unpacked = struct.unpack_from("<IHH", data, at)
        block_list.append((data[at:at + 8 + packed], packed, unpacked))
        at += 8 + packed
    return compression, members, block_list


def write_cabinet(compression, entries, blocks, index, prev=None, next_=None):
    flags = (1 if prev else 0) | (2 if next_ else 0)
    names = b""
    if prev:
        names += prev.encode() + b"\0DISK1\0"
    if next_:
        names += next_.encode() + b"\0DISK2\0"
    files = b"".join(struct.pack("<IIHHHH", *e[:6]) + e[6] + b"\0" for e in entries)
    files_at = 36 + len(names) + 8
    data_at = files_at + len(files)
    body = b"".join(blocks)
    header = b"MSCF" + struct.pack("<IIIIIBBHHHHH", 0, data_at + len(body), 0, files_at, 0, 3, 1, 1,
                                   len(entries), flags, 0x5E7, index)
    return header + names + struct.pack("<IHH", data_at, len(blocks), compression) + files + body


def main(source, first, second):
    compression, members, blocks = read_cabinet(open(source, "rb").read())
    assert len(blocks) >= 2, "the cabinet needs two data blocks at least"
    cut = len(blocks) // 2
    before = sum(b[2] for b in blocks[:cut])  # uncompressed bytes wholly in the first cabinet
    raw, packed, unpacked = blocks[cut]
    half = packed // 2
    payload = raw[8:]
    # Each half of the cut block carries its own header: the first unpacks to nothing, the second
    # to the whole block. Checksums 0 mean none.
    first_half = struct.pack("<IHH", 0, half, 0) + payload[:half]
    second_half = struct.pack("<IHH", 0, packed - half, unpacked) + payload[half:]
    first_blocks = [b[0] for b in blocks[:cut]] + [first_half]
    second_blocks = [second_half] + [b[0] for b in blocks[cut + 1:]]

    one, two = [], []
    for size, offset, date, time, attrs, name in members:
        if offset + size <= before and offset < before:  # wholly in the first cabinet
            one.append((size, offset, 0, date, time, attrs, name))
        elif offset < before:  # starts in the first, ends in the second
            one.append((size, offset, 0xFFFE, date, time, attrs, name))
            two.append((size, offset, 0xFFFD, date, time, attrs, name))
        else:  # starts in the second
            two.append((size, offset, 0, date, time, attrs, name))
    second_name = os.path.basename(second)
    open(first, "wb").write(write_cabinet(compression, one, first_blocks, 0, next_=second_name))
    open(second, "wb").write(write_cabinet(compression, two, second_blocks, 1, prev=os.path.basename(first)))


if __name__ == "__main__":
    main(*sys.argv[1:4])
