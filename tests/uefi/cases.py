#!/usr/bin/env python3
"""kovrin.efi and kovrin-sim.efi in a real UEFI shell: cases, files, checks.

  cases.py prepare DIR                  startup.nsh and the image files
  cases.py check LOG DISK HOST_SIM      checks the serial log and what the
                                        runs wrote to DISK; exit 1 on failure

QEMU's virt machine claims nothing at 0x20000000: every port reads 0xFF and
takes writes without effect, so kovrin.efi runs its real port path against a
board on which nothing answers. kovrin-sim.efi carries the virtual board
inside: its runs must print what kovrin-sim (HOST_SIM) prints on the host for
the same arguments, and leave the same flash content (and read-out file).
No run may change an image file, and a read-out that did not finish leaves
no file.

Runs given "/L log.jsonl" add their records to that one file: one JSON line
each, in the order they ran, as kovrin-sim writes it for the same run but for
the time and the duration. A record file that cannot be written is reported
after everything the run printed, and the status stays the run's.

Then kovrin-trap.efi puts the virtual board behind the window itself: the
window faults on every access and the driver does each byte access on the
board. kovrin.efi, the very file that ships, must then match kovrin-sim on
the host in output, status and final flash, run for run.
The board command refuses what it cannot honour.
"""

import datetime
import hashlib
import json
import os
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
    # Small, so that every access trapping stays quick: one block, partly.
    "ec8.bin": image(8192, 0x100),
    "boot.bin": image(4096, 0x100),
    # Found only if the arguments reach the tool as UTF-8 and the file name
    # goes back to the shell as the same characters.
    "été-image.bin": image(131072, 0x300, "été".encode()),
    # Made read-only before the runs: a record cannot be added to it.
    "ro.jsonl": b'{"an":"older record"}\n',
}

LOG = "log.jsonl"  # the record file the logging runs share
# A folder no run may make: the shell's create would make it on the way.
NO_FOLDER = "nofolder"
LOG_WRITE_FAIL = "\n\rLog Write Fail!\n"

class PortCase(NamedTuple):
    """kovrin.efi on the empty window."""
    name: str
    arguments: str
    status: str                 # as %lasterror% shows it
    output: list                # without escapes and "\r": texts and Patterns
    banner_at_top: bool = False  # at column 1 of row 1
    absent: str = None          # a file the run must not leave on the disk


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
    PortCase("read-out-exists", "/R ec.bin 64", "0x15", ["\n\rFile exists, not overwritten!\n"]),
    PortCase("read-out-no-ec", "/R new.bin 64", "0x15", ["Send KB Cmd 0xAD \n\n", timeouts()],
             absent="new.bin"),
    PortCase("read-out-no-folder", "/R %s\\new.bin 64" % NO_FOLDER, "0x15", [OPEN_FAIL]),
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
    saved: tuple = None         # a read-out's (file, first flash byte, length)
    log_fails: bool = False     # its /L file cannot be written


SIM_CASES = [
    SimCase("sim-update", "", "ec.bin 128", flash=("full.out", "ec.bin", 0x00000)),
    SimCase("sim-main-region", "", "main.bin 60 /Mn", flash=("main.out", "main.bin", 0x01000)),
    SimCase("sim-utf8", "--project été", "été-image.bin 128",
            flash=("utf8.out", "été-image.bin", 0x00000)),
    # The board's BRAM holds 1 and "A": its version text is "01A".
    SimCase("sim-bram-newer", "", "/VB 02A", colour=LIGHT_GREEN),
    SimCase("sim-bram-not-newer", "", "/VB 01A", colour=LIGHT_RED),
    SimCase("sim-read-out", "--flash-in ec.bin", "/R saved.bin 64 /O 10000",
            flash=("read.out", "ec.bin", 0x00000), saved=("saved.bin", 0x10000, 0x10000)),
    SimCase("sim-compare-equal", "--flash-in ec.bin", "ec.bin 128 /C"),
    SimCase("sim-compare-differs", "", "ec.bin 128 /C"),  # an erased flash
    # The board options are read by the board's own parser, as on the host.
    SimCase("sim-slow-mailboxes", "--flash sst --flash-size 1024 --ec-latency 3 --kbc-latency 2 --jitter 11",
            "main.bin 60 /Mn", flash=("slow.out", "main.bin", 0x01000)),
    SimCase("sim-locked-sio", "--sio-locked --ec-latency 2", "/VB 02A", colour=LIGHT_GREEN),
    # The information mode on parts with and without a second status
    # register, all of a part protected, and an id read only by 0xAB.
    SimCase("sim-info", "", "/I"),
    SimCase("sim-info-protected", "--flash sst --status 1c", "/I /L " + LOG),
    SimCase("sim-info-ite", "--flash ite", "/I"),
    # A record for each way a run ends; the compare's flash is left erased.
    SimCase("sim-log-update", "", "ec.bin 128 /L " + LOG, flash=("log-update.out", "ec.bin", 0x00000)),
    SimCase("sim-log-differs", "", "ec.bin 128 /C /L " + LOG, flash=("log-differs.out", None, 0x00000)),
    SimCase("sim-log-refused", "", "bbk.bin 5 /BK /F /L " + LOG),
    SimCase("sim-log-read-only", "", "/I /L ro.jsonl", log_fails=True),
    SimCase("sim-log-no-folder", "", "bbk.bin 5 /BK /F /L %s\\%s" % (NO_FOLDER, LOG), log_fails=True),
]


class TrapCase(NamedTuple):
    """kovrin.efi on the trapped window, against kovrin-sim on the host."""
    name: str
    board: str                  # board options, for both
    arguments: str

    saved = None                # no read-out among these runs
    log_fails = False

    @property
    def flash(self):
        return (self.name + ".out",)


TRAP_CASES = [
    TrapCase("trap-page-part", "--flash winbond", "ec8.bin 8"),
    TrapCase("trap-aai-part", "--flash sst", "ec8.bin 8"),
    TrapCase("trap-ite-part", "--flash ite", "ec8.bin 8"),
    TrapCase("trap-boot-block", "", "boot.bin 4 /BK"),
    TrapCase("trap-version", "", "/V"),
    TrapCase("trap-bram", "", "/VB 02A"),
    TrapCase("trap-test", "", "/T"),
    TrapCase("trap-protect", "", "/PB"),
    # The EC stops taking bytes in the middle of programming.
    TrapCase("trap-hang", "--hang 40000", "ec8.bin 8"),
    TrapCase("trap-info", "", "/I /L " + LOG),
    TrapCase("trap-log-update", "", "ec8.bin 8 /L " + LOG),
    TrapCase("trap-log-differs", "", "ec8.bin 8 /C /L " + LOG),
    TrapCase("trap-log-refused", "", "bbk.bin 5 /BK /F /L " + LOG),
]


class BoardCase(NamedTuple):
    """The trap's board command, refusing options it cannot honour."""
    name: str
    options: str
    output: str                 # then a failing status


BOARD_CASES = [
    BoardCase("board-host-only", "--trace t.txt", "board reset: --trace: not available in the UEFI shell\n"),
    # Dropped, it would leave the flash erased and unsaved without a word.
    BoardCase("board-flash-in", "--flash-in ec8.bin",
              "board reset: --flash-in and --flash-out are not taken here: the flash starts erased,"
              " board save writes it\n"),
]

FAULTS = ["Synchronous Exception", "ASSERT", "Image Load Failed", "kovrin-trap stops"]
STATUS_SHOWN = {0: "0x0", 1: "0x15"}


def flash_out(case):
    return ["--flash-out", case.flash[0]] if case.flash else []


def log_file(case):
    words = case.arguments.split()
    return words[words.index("/L") + 1] if "/L" in words[:-1] else None


def tool_arguments(case):
    """As the host runs them: without a record file that must not be written."""
    words = case.arguments.split()
    if case.log_fails:
        at = words.index("/L")
        del words[at:at + 2]
    return words


def prepare(directory):
    directory = Path(directory)
    for name, data in FILES.items():
        (directory / name).parent.mkdir(parents=True, exist_ok=True)
        (directory / name).write_bytes(data)
    lines = ["@echo -off", "fs0:", "attrib +r ro.jsonl"]
    runs = [(case.name, "kovrin.efi " + case.arguments) for case in CASES]
    runs += [(case.name, " ".join(["kovrin-sim.efi", case.board, *flash_out(case), "--", case.arguments]))
             for case in SIM_CASES]
    for name, command in runs:
        lines += ['echo "=== case %s"' % name, " ".join(command.split()),
                  'echo "=== status %lasterror%"']
    lines.append("load kovrin-trap.efi")
    for case in TRAP_CASES:
        lines += ['echo "=== case %s"' % case.name, " ".join(["board reset", *case.board.split()]),
                  "kovrin.efi " + case.arguments, 'echo "=== status %lasterror%"',
                  "board save " + case.flash[0]]
    for case in BOARD_CASES:
        lines += ['echo "=== case %s"' % case.name, "board reset " + case.options,
                  'echo "=== status %lasterror%"']
    lines.append("reset -s")
    # UCS-2 with its byte order mark: the shell's form for any character.
    text = "\r\n".join(lines) + "\r\n"
    (directory / "startup.nsh").write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))


ESCAPE = re.compile(r"\x1b\[[0-9;=?]*[A-Za-z]")
SEGMENT = re.compile(r"=== case (\S+)\n(.*?)=== status (\S+)\n", re.S)


def plain(text):
    return ESCAPE.sub("", text.replace("\r", ""))


def check_board_case(case, run):
    text, got_status = run
    problems = ["status %s" % got_status] if got_status == "0x0" else []
    if plain(text) != case.output:
        problems.append("output differs:\n    got      %r\n    expected %r" % (plain(text), case.output))
    return problems


def check_port_case(case, run, disk):
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
    if case.absent and read_from_disk(disk, case.absent) is not None:
        problems.append("%s was left on the disk" % case.absent)
    return problems


def read_from_disk(disk, name):
    with tempfile.TemporaryDirectory() as work:
        copy = Path(work) / "copy"
        done = subprocess.run(["mcopy", "-n", "-i", disk, "::" + name, str(copy)],
                              capture_output=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
        return copy.read_bytes() if done.returncode == 0 else None


def run_host_sim(host_sim, case):
    with tempfile.TemporaryDirectory() as work:
        for name, data in FILES.items():
            (Path(work) / name).parent.mkdir(parents=True, exist_ok=True)
            (Path(work) / name).write_bytes(data)
        command = [host_sim] + case.board.split() + flash_out(case) + ["--"] + tool_arguments(case)
        done = subprocess.run(command, cwd=work, capture_output=True, timeout=120)
        flash = (Path(work) / case.flash[0]).read_bytes() if case.flash else None
        saved = (Path(work) / case.saved[0]).read_bytes() if case.saved else None
        record = (Path(work) / LOG).read_bytes() if log_file(case) == LOG else None
        return done.returncode, done.stdout.decode("utf-8"), flash, saved, record


def first_difference(got, want):
    at = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
    start = max(0, at - 30)
    return ("at character %d:\n    got  %r\n    host %r"
            % (at, got[start:at + 30], want[start:at + 30]))


def same_as_host(case, run, disk, host_sim, records):
    text, got_status = run
    status, host_text, host_flash, host_saved, host_record = run_host_sim(host_sim, case)
    problems = []
    if got_status != STATUS_SHOWN.get(status, "?"):
        problems.append("status %s, on the host %d" % (got_status, status))
    # The console shows no NUL (the project name's padding).
    expected = plain(host_text).replace("\u2588", FULL_BLOCK_ON_SERIAL).replace("\0", "")
    if case.log_fails:
        expected += plain(LOG_WRITE_FAIL)
    if plain(text) != expected:
        problems.append("output differs from the host's " + first_difference(plain(text), expected))
    flash = read_from_disk(disk, case.flash[0]) if case.flash else None
    if case.flash and flash is None:
        problems.append("%s was not written" % case.flash[0])
    elif flash != host_flash:
        problems.append("the flash differs from the host's")
    if case.name in records:
        problems += check_record(records[case.name], host_record, flash)
    return problems, flash, host_saved


ISO_TIME = "%Y-%m-%dT%H:%M:%S.%fZ"
ISO_TIME_FORM = re.compile(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z")
NOT_COMPARED = {"time", "duration_ms"}  # the clocks of two machines


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def check_record(line, host_line, flash):
    try:
        got = json.loads(line)
    except ValueError:
        return ["its record is no JSON line: %r" % line]
    want = json.loads(host_line)
    problems = ["its record's %s is %r, the host's %r" % (key, got.get(key, "(none)"), want.get(key, "(none)"))
                for key in sorted((set(got) | set(want)) - NOT_COMPARED)
                if got.get(key, "(none)") != want.get(key, "(none)")]
    time = got.get("time")
    # The runs ended minutes before this check: today, or yesterday just
    # after midnight.
    earliest = (datetime.datetime.now(datetime.timezone.utc) - datetime.timedelta(hours=1)).date()
    if not (isinstance(time, str) and ISO_TIME_FORM.fullmatch(time)
            and datetime.datetime.strptime(time, ISO_TIME).date() >= earliest):
        problems.append("its record's time %r is no UTC time of today or later" % time)
    if not isinstance(got.get("duration_ms"), int) or got["duration_ms"] < 0:
        problems.append("its record's duration_ms is %r" % got.get("duration_ms"))
    if got.get("program") != "kovrin":
        problems.append("its record's program is %r" % got.get("program"))
    image = got.get("image")
    if image and (image.get("file") not in FILES or sha256(FILES[image["file"]]) != image.get("sha256")):
        problems.append("its record's image.sha256 is not that of %r" % image.get("file"))
    if want["flash_sha256"] is not None:
        area = got.get("area") or {}
        start, length = area.get("base", 0), area.get("length", 0)
        if flash is None or sha256(flash[start:start + length]) != got.get("flash_sha256"):
            problems.append("its record's flash_sha256 is not that of the flash from 0x%05X, %d bytes"
                            % (start, length))
    return problems


def read_records(disk, logging):
    """The record file's lines by the name of the run that wrote each, and
    what is wrong with the file as a whole."""
    data = read_from_disk(disk, LOG)
    if data is None:
        return {}, ["%s was not written" % LOG]
    lines = data.split(b"\n")
    problems = [] if lines.pop() == b"" else ["%s ends inside a line" % LOG]
    if len(lines) != len(logging):
        problems.append("%s holds %d lines, for %d runs" % (LOG, len(lines), len(logging)))
        return {}, problems
    return dict(zip(logging, lines)), problems


def left_behind(disk):
    done = subprocess.run(["mdir", "-/", "-b", "-i", disk, "::"], capture_output=True,
                          env=dict(os.environ, LC_ALL="C.UTF-8"))
    return [name for name in done.stdout.decode("utf-8", "replace").splitlines()
            if name.endswith(".tmp") or name.startswith("::/%s/" % NO_FOLDER)]


def check_sim_case(case, run, disk, host_sim, records):
    problems, flash, host_saved = same_as_host(case, run, disk, host_sim, records)
    text = run[0]
    if case.colour and not re.search(re.escape(case.colour) + r" \n=> [^\x1b]*$", text):
        problems.append("the verdict is not in %r, or that colour was changed after it" % case.colour)
    if flash is not None:
        problems += check_flash(case.flash, flash)
    if case.saved:
        name, start, length = case.saved
        saved = read_from_disk(disk, name)
        if saved is None or saved != host_saved:
            problems.append("%s is missing or differs from the host's" % name)
        elif flash is None or saved != flash[start:start + length]:
            problems.append("%s is not the flash from 0x%05X" % (name, start))
    return problems


def check_flash(flash_case, flash):
    out, image_name, at = flash_case
    data = FILES[image_name] if image_name else b""
    erased_elsewhere = bytearray(b"\xff" * len(flash))
    erased_elsewhere[at:at + len(data)] = data
    if flash != erased_elsewhere:
        return ["the flash does not hold %s at 0x%05X, erased elsewhere" % (image_name or "nothing", at)]
    return []


def check(log_path, disk, host_sim):
    host_sim = str(Path(host_sim).resolve())  # it runs in a folder of its own
    raw = Path(log_path).read_bytes().decode("utf-8", "replace").replace("\r", "")
    runs = {name: (text, status) for name, text, status in SEGMENT.findall(raw)}
    # In the order they ran; none of the port cases keeps a record.
    logging = [case.name for case in SIM_CASES + TRAP_CASES if log_file(case) == LOG]
    records, whole = read_records(disk, logging)
    whole += ["%s was left on the disk" % name for name in left_behind(disk)]
    checks = [(case, "kovrin " + case.arguments, lambda c, r: check_port_case(c, r, disk)) for case in CASES]
    checks += [(case, "kovrin-sim %s -- %s" % (case.board, case.arguments),
                lambda c, r: check_sim_case(c, r, disk, host_sim, records))
               for case in SIM_CASES]
    checks += [(case, "kovrin (trapped) %s -- %s" % (case.board, case.arguments),
                lambda c, r: same_as_host(c, r, disk, host_sim, records)[0])
               for case in TRAP_CASES]
    checks += [(case, "board reset " + case.options, check_board_case) for case in BOARD_CASES]

    failed = 0
    for case, shown, check_case in checks:
        problems = check_case(case, runs[case.name]) if case.name in runs else ["never finished"]
        for problem in problems:
            print("FAIL %s: %s" % (" ".join(shown.split()), problem))
        failed += 1 if problems else 0
    faults = [line for line in plain(raw).splitlines() if any(fault in line for fault in FAULTS)]
    for line in faults:
        print("FAIL the log shows %r" % line.strip())
    changed = [name for name, data in FILES.items() if read_from_disk(disk, name) != data]
    for name in changed:
        print("FAIL the image file %s was changed" % name)
    for problem in whole:
        print("FAIL " + problem)
    print("uefi: %d passed, %d failed" % (len(checks) - failed, failed))
    return 1 if failed or faults or changed or whole else 0


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "prepare":
        prepare(sys.argv[2])
    elif len(sys.argv) == 5 and sys.argv[1] == "check":
        sys.exit(check(*sys.argv[2:]))
    else:
        sys.exit(__doc__)
