#!/usr/bin/env python3
"""kovrin.efi and kovrin-sim.efi in a real UEFI shell: cases, files, checks.

  cases.py prepare DIR                  startup.nsh and the image files
  cases.py check LOG DISK HOST_SIM      checks the serial log and what the
                                        runs wrote to DISK; exit 1 on failure

QEMU's virt machine claims nothing at 0x20000000: every port reads 0xFF and
takes writes without effect, so kovrin.efi runs its real port path against a
board on which nothing answers. kovrin-sim.efi carries the virtual board
inside: its runs must print what kovrin-sim (HOST_SIM) prints on the host for
the same arguments, and leave the same flash content.
"""

import re
import subprocess
import sys
import tempfile
from pathlib import Path
from typing import NamedTuple

# What the console shows; "\r" is dropped before comparing.
BANNER = "Zelkora EC flash tool version : 0.0.2\n"
USAGE = (BANNER
         + "\n\r Usage : "
         + "\n\r        kovrin <ec filename> [filesize][/V][/F]"
         + "\n\r        "
         + "\n\r Example :"
         + "\n\r        kovrin ec.bin 128"
         + "\n\r                Flash ec.bin filesize 128K"
         + "\n\r        kovrin ec.bin 128 /F"
         + "\n\r                Flash ec.bin filesize 128K and check the project name"
         + "\n\r        kovrin /V"
         + "\n\r                Show the EC version and project name\n")
WRONG_PARAMETER = "\n\nWrong Parameter! Please try again!\n\n"
OPEN_FAIL = "\n\rFile Open Fail!"
SIZE_MISMATCH = "\n\rParamter NOT Match with File Size, Please try again!\n\n"


def size_lines(pages, blocks):
    return ("\n\rFile Size: %dK\n" % pages
            + "\n\rBlockNum: %d,  MaxBlock: %d,   PageCount: %d\n" % (0, blocks, pages))


class Pattern(str):
    """A piece of the expected output given as a regular expression."""


# A bounded wait that gave up: one or more lines "\n\rTimeout: <what>".
def timeouts(what=r"[^\n]*"):
    return Pattern(r"(?:\nTimeout: %s\n)(?:\nTimeout: [^\n]*\n)*" % what)


def regex(pieces):
    return "".join(p if isinstance(p, Pattern) else re.escape(p.replace("\r", ""))
                   for p in pieces)


def readable(pieces):
    return "".join("<%s>" % p if isinstance(p, Pattern) else p.replace("\r", "")
                   for p in pieces)


# The terminal's forms of ClearScreen and of SetCursorPosition(1, 1).
CLEAR = "\x1b[2J"
AT_COLUMN_1_ROW_1 = "\x1b[02;02H"
# The serial terminal (TTY type) shows U+2588 FULL BLOCK as "*".
FULL_BLOCK_ON_SERIAL = "*"

PROJECT = b"DEMO"  # the virtual board's project name unless told otherwise


def image(size, project_at=None, project=PROJECT):
    data = bytearray((i * 7 + 3) & 0xFF for i in range(size))
    if project_at is not None:
        data[project_at:project_at + len(project)] = project
    return bytes(data)


FILES = {
    "ec.bin": image(131072, 0x100),     # 128 pages, 2 blocks
    "main.bin": image(61440, 0x200),    # the main-code region
    "odd.bin": image(131073),           # 129 pages, 3 blocks
    "bbk.bin": image(4097),             # one byte too many for the boot block
    "images/odd.bin": image(131073),
    # Found only if the arguments reach the tool as UTF-8 and the file name
    # goes back to the shell as the same characters.
    "été-image.bin": image(131072, 0x300, "été".encode()),
}

class PortCase(NamedTuple):
    """kovrin.efi on the empty window."""
    name: str
    arguments: str
    status: str                 # as %lasterror% shows it
    output: list                # without escapes and "\r": texts and Patterns
    banner_at_top: bool = False  # at column 1 of row 1


CASES = [
    PortCase("no-arguments", "", "0x0", [USAGE], True),
    PortCase("wrong-parameter", "/X", "0x15", [USAGE, WRONG_PARAMETER], True),
    PortCase("version-no-chip", "/V", "0x15",
             [BANNER, "\n\rfind_ite_chip=ffff\n", "\n\rNot ITE Chip\n\r"], True),
    PortCase("missing-file", "nofile.bin 128", "0x15", [OPEN_FAIL]),
    PortCase("directory", "images 128", "0x15", [OPEN_FAIL]),
    PortCase("size-lost", "ec.bin", "0x15", ["\n\rFile Size Paramter Lost, Please try again!\n\n"]),
    PortCase("size-mismatch", "odd.bin 128 /F", "0x15", ["\n\rFile Size: 129K\n", SIZE_MISMATCH]),
    PortCase("path", "images\\odd.bin 128 /F", "0x15", ["\n\rFile Size: 129K\n", SIZE_MISMATCH]),
    PortCase("region-size", "bbk.bin 5 /BK /F", "0x15",
             [size_lines(5, 1), "\n\nFile size with wrong parameter! BBK code need to 4K"]),
    # The project name is asked of the EC through the ACPI pair 0x66/0x62.
    PortCase("project-check-no-ec", "ec.bin 128", "0x15", [timeouts(r"EC [^\n]*0x66")]),
    PortCase("update-no-ec", "ec.bin 128 /F", "0x15",
             [size_lines(128, 2), "Send KB Cmd 0xAD \n\n", timeouts()]),
]

# The terminal's forms of the verdict attributes 0x0A and 0x0C.
LIGHT_GREEN = "\x1b[1m\x1b[32m\x1b[40m"
LIGHT_RED = "\x1b[1m\x1b[31m\x1b[40m"


class SimCase(NamedTuple):
    """kovrin-sim.efi on the virtual board."""
    name: str
    board: str                  # board options
    arguments: str
    flash: tuple = None         # (file written, image, where it lands)
    colour: str = None          # set before the verdict, still set at the end


SIM_CASES = [
    SimCase("sim-update", "", "ec.bin 128", flash=("full.out", "ec.bin", 0x00000)),
    SimCase("sim-main-region", "", "main.bin 60 /Mn", flash=("main.out", "main.bin", 0x01000)),
    SimCase("sim-utf8", "--project été", "été-image.bin 128",
            flash=("utf8.out", "été-image.bin", 0x00000)),
    # The board's BRAM holds 1 and "A": its version text is "01A".
    SimCase("sim-bram-newer", "", "/VB 02A", colour=LIGHT_GREEN),
    SimCase("sim-bram-not-newer", "", "/VB 01A", colour=LIGHT_RED),
    # The board options are read by the board's own parser, as on the host.
    SimCase("sim-slow-mailboxes", "--flash sst --flash-size 1024 --ec-latency 3 --kbc-latency 2 --jitter 11",
            "main.bin 60 /Mn", flash=("slow.out", "main.bin", 0x01000)),
    SimCase("sim-locked-sio", "--sio-locked --ec-latency 2", "/VB 02A", colour=LIGHT_GREEN),
]

FAULTS = ["Synchronous Exception", "ASSERT", "Image Load Failed"]
STATUS_SHOWN = {0: "0x0", 1: "0x15"}


def flash_out(case):
    return ["--flash-out", case.flash[0]] if case.flash else []


def prepare(directory):
    directory = Path(directory)
    for name, data in FILES.items():
        (directory / name).parent.mkdir(parents=True, exist_ok=True)
        (directory / name).write_bytes(data)
    lines = ["@echo -off", "fs0:"]
    runs = [(case.name, "kovrin.efi " + case.arguments) for case in CASES]
    runs += [(case.name, " ".join(["kovrin-sim.efi", case.board, *flash_out(case), "--", case.arguments]))
             for case in SIM_CASES]
    for name, command in runs:
        lines += ['echo "=== case %s"' % name, " ".join(command.split()),
                  'echo "=== status %lasterror%"']
    lines.append("reset -s")
    # UCS-2 with its byte order mark: the shell's form for any character.
    text = "\r\n".join(lines) + "\r\n"
    (directory / "startup.nsh").write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))


ESCAPE = re.compile(r"\x1b\[[0-9;=?]*[A-Za-z]")
SEGMENT = re.compile(r"=== case (\S+)\n(.*?)=== status (\S+)\n", re.S)


def plain(text):
    return ESCAPE.sub("", text.replace("\r", ""))


def check_port_case(case, run):
    text, got_status = run
    problems = []
    if got_status != case.status:
        problems.append("status %s, expected %s" % (got_status, case.status))
    if not text.startswith(CLEAR):
        problems.append("the screen was not cleared first")
    if case.banner_at_top and AT_COLUMN_1_ROW_1 + "Zelkora" not in text:
        problems.append("the banner is not at column 1 of row 1")
    if not re.fullmatch(regex(case.output), plain(text), re.S):
        problems.append("output differs:\n    got      %r\n    expected %r"
                        % (plain(text), readable(case.output)))
    return problems


def read_from_disk(disk, name):
    with tempfile.TemporaryDirectory() as work:
        copy = Path(work) / name
        done = subprocess.run(["mcopy", "-n", "-i", disk, "::" + name, str(copy)],
                              capture_output=True)
        return copy.read_bytes() if done.returncode == 0 else None


def run_host_sim(host_sim, case):
    with tempfile.TemporaryDirectory() as work:
        for name, data in FILES.items():
            (Path(work) / name).parent.mkdir(parents=True, exist_ok=True)
            (Path(work) / name).write_bytes(data)
        command = [host_sim] + case.board.split() + flash_out(case) + ["--"] + case.arguments.split()
        done = subprocess.run(command, cwd=work, capture_output=True, timeout=120)
        flash = (Path(work) / case.flash[0]).read_bytes() if case.flash else None
        return done.returncode, done.stdout.decode("utf-8"), flash


def first_difference(got, want):
    at = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
    start = max(0, at - 30)
    return ("at character %d:\n    got  %r\n    host %r"
            % (at, got[start:at + 30], want[start:at + 30]))


def check_sim_case(case, run, disk, host_sim):
    text, got_status = run
    status, host_text, host_flash = run_host_sim(host_sim, case)
    problems = []
    if got_status != STATUS_SHOWN.get(status, "?"):
        problems.append("status %s, on the host %d" % (got_status, status))
    expected = plain(host_text).replace("\u2588", FULL_BLOCK_ON_SERIAL)
    if plain(text) != expected:
        problems.append("output differs from the host's " + first_difference(plain(text), expected))
    if case.colour and not re.search(re.escape(case.colour) + r" \n=> [^\x1b]*$", text):
        problems.append("the verdict is not in %r, or that colour was changed after it" % case.colour)
    if case.flash:
        problems += check_flash(case.flash, read_from_disk(disk, case.flash[0]), host_flash)
    return problems


def check_flash(flash_case, flash, host_flash):
    out, image_name, at = flash_case
    if flash is None:
        return ["%s was not written" % out]
    problems = []
    if flash != host_flash:
        problems.append("the flash differs from the host's")
    data = FILES[image_name]
    erased_elsewhere = bytearray(b"\xff" * len(flash))
    erased_elsewhere[at:at + len(data)] = data
    if flash != erased_elsewhere:
        problems.append("the flash does not hold %s at 0x%05X, erased elsewhere" % (image_name, at))
    return problems


def check(log_path, disk, host_sim):
    host_sim = str(Path(host_sim).resolve())  # it runs in a folder of its own
    raw = Path(log_path).read_bytes().decode("utf-8", "replace").replace("\r", "")
    runs = {name: (text, status) for name, text, status in SEGMENT.findall(raw)}
    checks = [(case, "kovrin " + case.arguments, check_port_case) for case in CASES]
    checks += [(case, "kovrin-sim %s -- %s" % (case.board, case.arguments),
                lambda c, r: check_sim_case(c, r, disk, host_sim))
               for case in SIM_CASES]

    failed = 0
    for case, shown, check_case in checks:
        problems = check_case(case, runs[case.name]) if case.name in runs else ["never finished"]
        for problem in problems:
            print("FAIL %s: %s" % (" ".join(shown.split()), problem))
        failed += 1 if problems else 0
    faults = [fault for fault in FAULTS if fault in raw]
    for fault in faults:
        print("FAIL the log shows %r" % fault)
    print("uefi: %d passed, %d failed" % (len(checks) - failed, failed))
    return 1 if failed or faults else 0


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "prepare":
        prepare(sys.argv[2])
    elif len(sys.argv) == 5 and sys.argv[1] == "check":
        sys.exit(check(*sys.argv[2:]))
    else:
        sys.exit(__doc__)
