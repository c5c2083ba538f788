#!/usr/bin/env python3
"""The packaged AArch64 kovrinux against kovrinux-sim, run for run.

  compare.py KOVRINUX_DEB TRAP_LIBRARY KOVRINUX_SIM [WORK_DIR]

The binary inside the package runs under qemu-aarch64 with the trap library
preloaded: its window faults on every access and each byte load or store is
performed on the virtual board. Each run below must give the same standard
output, standard error, status, final flash, trace and counters as the
host's kovrinux-sim on the same board options and arguments; the status is
also the one the table expects, and an update leaves its image in the flash.
"""

import os
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path
from typing import NamedTuple

SYSROOT = "/usr/aarch64-linux-gnu"
PROJECT = b"DEMO"  # the board's project name unless told otherwise


def pattern(size, seed):
    return bytes((i * seed + 3) & 0xFF for i in range(size))


def image(size, seed=7):
    data = bytearray(pattern(size, seed))
    data[0x100:0x100 + len(PROJECT)] = PROJECT
    return bytes(data)


FILES = {
    "ec.bin": image(8192),            # two 4 KB sectors, 32 pages
    "bbk.bin": image(4096, seed=13),  # the boot-block region
    "old.bin": pattern(256 * 1024, 5),  # the flash before a region update
}


class Run(NamedTuple):
    name: str
    board: str
    arguments: str
    status: int
    lands: tuple = None  # (image, address) an update leaves in the flash


RUNS = [
    Run("page", "--flash winbond", "ec.bin 8", 0, ("ec.bin", 0x00000)),
    Run("aai", "--flash sst", "ec.bin 8", 0, ("ec.bin", 0x00000)),
    Run("ite", "--flash ite", "ec.bin 8", 0, ("ec.bin", 0x00000)),
    Run("boot-block", "--flash-in old.bin", "bbk.bin 4 /BK", 0, ("bbk.bin", 0x00000)),
    Run("version", "--ec-version 2.15 --project ZK-42", "/V", 0),
    Run("bram", "--bram 2,0x43", "/VB 02B", 1),
    Run("test", "--flash mxic", "/T", 0),
    Run("protect", "--flash sst", "/PB", 0),
    # A Ctrl-C during the project-name check: held, and nothing is written.
    Run("interrupted", "--signal INT@10", "ec.bin 8", 1),
    # 1 ms per port access: the three 5 s waits of a hung EC in flash mode
    # take 15,000 accesses instead of 15 million.
    Run("hang", "--hang 40 --access-us 1000 --flash-in old.bin", "ec.bin 8 /F", 1),
]

OUTPUTS = [("standard output", "out"), ("standard error", "err"), ("flash", "flash"),
           ("trace", "trace"), ("counters", "stats")]


def board_files(run, side):
    return {what: "%s.%s.%s" % (run.name, side, what) for what in ("flash", "trace", "stats")}


def board_options(run, side):
    files = board_files(run, side)
    return run.board.split() + ["--flash-out", files["flash"], "--trace", files["trace"],
                                "--stats", files["stats"]]


def execute(command, work, run, side, env=None):
    done = subprocess.run(command, cwd=work, capture_output=True, env=env, timeout=600)
    results = {"status": done.returncode, "out": done.stdout, "err": done.stderr}
    for what, name in board_files(run, side).items():
        path = Path(work) / name
        results[what] = path.read_bytes() if path.exists() else None
    return results


def run_both(run, work, kovrinux, trap, sim):
    host = execute([sim] + board_options(run, "sim") + ["--"] + run.arguments.split(), work, run, "sim")
    # KOVRIN_BOARD reaches the guest through the environment: qemu's -E
    # would split its value at commas. The preload is the guest's alone.
    env = dict(os.environ, KOVRIN_BOARD=" ".join(board_options(run, "shipped")))
    shipped = execute(["qemu-aarch64", "-L", SYSROOT, "-E", "LD_PRELOAD=" + trap, kovrinux]
                      + run.arguments.split(), work, run, "shipped", env)
    return host, shipped


def first_difference(got, want):
    at = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b), min(len(got), len(want)))
    return "first difference at byte 0x%X (%d and %d bytes):\n      shipped %r\n      host    %r" % (
        at, len(got), len(want), got[max(0, at - 24):at + 24], want[max(0, at - 24):at + 24])


def problems(run, host, shipped):
    found = []
    if shipped["status"] != host["status"]:
        found.append("status %d, the host's %d" % (shipped["status"], host["status"]))
    elif host["status"] != run.status:
        found.append("both ended with status %d, not %d" % (host["status"], run.status))
    for title, key in OUTPUTS:
        if shipped[key] is None or host[key] is None:
            found.append("%s not written" % title)
        elif shipped[key] != host[key]:
            found.append("%s differs, %s" % (title, first_difference(shipped[key], host[key])))
    if run.lands and shipped["flash"] is not None:
        data, at = FILES[run.lands[0]], run.lands[1]
        if shipped["flash"][at:at + len(data)] != data:
            found.append("the flash does not hold %s at 0x%05X" % run.lands)
    if shipped["err"]:
        found.append("the shipped run said:\n      " + shipped["err"].decode(errors="replace").strip())
    return found


def extract(deb, into):
    subprocess.run(["dpkg-deb", "-x", deb, into], check=True)
    program = Path(into) / "usr/sbin/kovrinux"
    if not program.is_file():
        sys.exit("compare.py: %s holds no usr/sbin/kovrinux" % deb)
    return str(program)


def main(deb, trap, sim, work=None):
    work = Path(work or tempfile.mkdtemp(prefix="kovrin-shipped-"))
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    kovrinux = extract(deb, str(work / "package"))
    for name, data in FILES.items():
        (work / name).write_bytes(data)
    trap, sim = str(Path(trap).resolve()), str(Path(sim).resolve())

    jobs = int(os.environ.get("JOBS", os.cpu_count() or 1))
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        results = list(pool.map(lambda run: run_both(run, work, kovrinux, trap, sim), RUNS))

    failed = 0
    for run, (host, shipped) in zip(RUNS, results):
        found = problems(run, host, shipped)
        failed += bool(found)
        print("%-4s %-10s %-45s status %d" % ("FAIL" if found else "ok", run.name,
                                              "%s -- %s" % (run.board, run.arguments), shipped["status"]))
        for problem in found:
            print("      " + problem)
    print("%d of %d runs of the packaged kovrinux equal kovrinux-sim's" % (len(RUNS) - failed, len(RUNS)))
    if not failed:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__.strip().splitlines()[2].strip())
    sys.exit(main(*sys.argv[1:]))
