#!/usr/bin/env python3
"""Writes the seed corpora in corpus/<target>/ (committed; rerun after a
change of an input layout). Each seed is one typical or edge-case input."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# sim::Part order
PARTS = ["sst", "sst-old", "winbond", "mxic", "mxic-pp32", "st", "ite-a", "ite"]


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def argv(*words):
    return b"\0".join(w.encode() if isinstance(w, str) else w for w in words)


def args_seeds():
    rows = {
        "update": ["kovrinux", "ec.bin", "128"],
        "update-nocheck": ["kovrinux", "ec.bin", "128", "/F"],
        "check-first": ["kovrinux", "/F", "ec.bin", "128"],
        "regions": ["kovrinux", "/Mn", "/Bp", "ec.bin", "60", "/BKX"],
        "offset": ["kovrinux", "/O", "10000", "ec.bin", "128", "/j"],
        "offset-last": ["kovrinux", "ec.bin", "128", "/O"],
        "size-lost": ["kovrinux", "ec.bin", "/F"],
        "size-text": ["kovrinux", "ec.bin", " -0x10"],
        "version": ["kovrinux", "/V"],
        "version-any": ["kovrinux", "/v", "1.0", "/anything"],
        "bram": ["kovrinux", "/VB", "01B"],
        "bram-file": ["kovrinux", "/VBF", "ec.bin", "fff8"],
        "varnel": ["kovrinux", "/VC", "V1.0.0.0"],
        "standalone": ["kovrinux", "/T", "/PB"],
        "wrong": ["kovrinux", "/X"],
        "no-mode": ["kovrinux", "/BK", "/O", "1000", "/j"],
        "argv0-o": ["/O", "ec.bin", "128"],
        "read-out": ["kovrinux", "/j", "/R", "out.bin", "256", "/O", "20000"],
        "compare": ["kovrinux", "ec.bin", "128", "/C", "/Mn"],
        "differential": ["kovrinux", "/L", "runs.log", "ec.bin", "128", "/D", "/O", "0x20000"],
        "information": ["kovrinux", "/I", "/j", "/L", "runs.log"],
        "offset-text": ["kovrinux", "ec.bin", "128", "/O", "2OOOO"],
        "read-out-whole": ["kovrinux", "/R", "out.bin", "0"],
    }
    for name, words in rows.items():
        write("fuzz_args", name, argv(*words))


def board_seeds():
    rows = {
        "flash": ["kovrinux-sim", "--flash", "mxic", "--flash-size", "128", "--", "ec.bin", "128"],
        "flash-size-lacking": ["kovrinux-sim", "--flash-size", "64", "--flash", "mxic-pp32", "--"],
        "timing": ["kovrinux-sim", "--ec-latency", "3", "--kbc-latency", "2", "--jitter", "7", "--sio-locked",
                   "--trace-time", "--"],
        "help": ["kovrinux-sim", "--flash", "st", "--help", "--", "/V"],
        "no-sio": ["kovrinux-sim", "--chip-id", "none", "--", "/V"],
        "stuck": ["kovrinux-sim", "--stuck", "1234=ff", "--stuck", "0x3ffff=0", "--"],
        "faults": ["kovrinux-sim", "--hang", "40", "--flash-busy-forever", "--ack", "55", "--", "/T"],
        "versions": ["kovrinux-sim", "--bram", "1,0x41", "--ec-version", "1.0", "--project", "DEMO",
                     "--varnel", "V1.0.0.0", "--"],
        "files": ["kovrinux-sim", "--ldn-base", "0a70", "--status", "1c", "--kbc-pending", "3",
                  "--real-time", "--trace", "t", "--stats", "s", "--flash-in", "a", "--flash-out", "b"],
        "missing": ["kovrinux-sim", "--flash", "--"],
        "bad-bank": ["kovrinux-sim", "--ldn-base", "0x6b"],
        "status": ["kovrinux-sim", "--flash", "gigadevice", "--status", "80", "--status2", "41", "--wp-low",
                   "--no-sfdp", "--", "/PB"],
        "status2-lacking": ["kovrinux-sim", "--status2", "01", "--flash", "st", "--"],
    }
    for name, words in rows.items():
        write("fuzz_board_options", name, argv(*words))


def version_board(bram=(1, 0x41), version=(1, 0), varnel=b"V1.0.0.0", project=b"DEMO"):
    return bytes(bram) + bytes(version) + varnel.ljust(8, b"\0") + project.ljust(10, b"\0")


def version_seeds():
    # shape: bits 0-1 read-out (0 BRAM, 1 Varnel, 2 plain), bit 2 file,
    # bit 3 text, bit 4 chip id given
    stretched = lambda length, tail: b"\x01" + struct.pack("<I", length)[:3] + tail
    write("fuzz_version", "bram-file-newer",
          b"\x04" + version_board(bram=(0x12, 0x41)) + stretched(0x10000, b"\0" * 8 + b"\x19\x41"))
    write("fuzz_version", "bram-file-equal",
          b"\x04" + version_board(bram=(0x12, 0x41)) + stretched(0x10000, b"\0" * 8 + b"\x12\x41"))
    write("fuzz_version", "bram-file-short", b"\x04" + version_board() + b"\x00short")
    write("fuzz_version", "bram-file-edge", b"\x04" + version_board() + stretched(0xFFFA, b"\0" * 8 + b"\x01\x42"))
    write("fuzz_version", "bram-text", b"\x08" + version_board() + b"01B")
    write("fuzz_version", "bram-none", b"\x00" + version_board())
    write("fuzz_version", "varnel-text", b"\x09" + version_board() + b"V1.0.0.0")
    write("fuzz_version", "varnel-file", b"\x05" + version_board() + b"\x00abc")
    write("fuzz_version", "plain", b"\x02" + version_board(version=(12, 3), project=b"ABC"))
    write("fuzz_version", "no-chip", b"\x18\xff\xff" + version_board() + b"01B")


def image_seed(flags=0, size_mode=0, size_arg=0, offset=0, wide=b"", part="winbond", flash_index=2,
               chip_index=0, ack=0x33, name=b"DEMO", stuck=b"", tail=b""):
    head = bytes([flags, size_mode]) + struct.pack("<i", size_arg) + struct.pack("<I", offset)[:3] + wide
    board = bytes([PARTS.index(part), flash_index, chip_index, ack, len(name)]) + name + stuck
    return head + board + tail


def image_seeds():
    BBK, MAIN, BACKUP, SKIP, RESET, WIDE, STRETCHED, STUCK = (1 << i for i in range(8))
    raw = bytearray((i * 7 + 3) & 0xFF for i in range(4096))
    raw[0x40:0x44] = b"DEMO"
    stretched = lambda length, seed=1, tail=b"": struct.pack("<Q", length)[:5] + bytes([seed]) + tail
    write("fuzz_image", "whole-4k", image_seed(tail=bytes(raw)))
    write("fuzz_image", "bbk", image_seed(flags=BBK | RESET, tail=bytes(raw)))
    write("fuzz_image", "whole-64k-sst", image_seed(flags=STRETCHED | SKIP, part="sst", tail=stretched(0x10000)))
    write("fuzz_image", "main-sst-old", image_seed(flags=MAIN | STRETCHED | SKIP, part="sst-old",
                                                   tail=stretched(61440)))
    write("fuzz_image", "backup-pp32", image_seed(flags=BACKUP | STRETCHED | SKIP, part="mxic-pp32",
                                                  tail=stretched(61440)))
    write("fuzz_image", "offset-ite", image_seed(flags=STRETCHED | SKIP, offset=0x20000, part="ite",
                                                 tail=stretched(0x18000)))
    write("fuzz_image", "offset-inside-block", image_seed(flags=SKIP, offset=0x10800, tail=bytes(raw)))
    write("fuzz_image", "stuck", image_seed(flags=STUCK | SKIP, stuck=b"\x00\x34\x02\x00\xa5", tail=bytes(raw)))
    write("fuzz_image", "chip-8987", image_seed(flags=STRETCHED | SKIP, chip_index=1, tail=stretched(0x40000)))
    write("fuzz_image", "chip-8928-short", image_seed(flags=STRETCHED | SKIP, chip_index=2,
                                                      tail=stretched(0x3FF00)))
    write("fuzz_image", "st-region", image_seed(flags=BBK | SKIP, part="st", tail=bytes(raw)))
    write("fuzz_image", "size-mismatch", image_seed(size_mode=2, size_arg=5, tail=bytes(raw)))
    write("fuzz_image", "too-many-blocks", image_seed(flags=STRETCHED | SKIP, tail=stretched(256 * 0x10000)))
    write("fuzz_image", "past-16m", image_seed(flags=STRETCHED | SKIP | WIDE, offset=0xFF0000,
                                               wide=b"\0" * 5, tail=stretched(0x20000)))
    write("fuzz_image", "wrong-project", image_seed(name=b"OTHER", tail=bytes(raw)))
    write("fuzz_image", "empty", image_seed(flags=SKIP))


args_seeds()
board_seeds()
version_seeds()
image_seeds()
