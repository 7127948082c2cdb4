#!/usr/bin/env python3
"""Fails each file-system call of a native brenvik-gather run in turn, with
strace's fault injection, and checks what must hold whatever fails: no level
file changes; a count k comes with an output that is exactly levels 1 ... k,
each followed by its empty line; and no count falls short of the series.
Runs with the output absent, present, and reaching the series another way,
which must be refused however the guard's own look for it fails: hard links
to levels 1 and 3 outside the folder, a name through a link to a folder
inside the series' folder and a "..", and a symbolic link to level 2. A
listing cut short (getdents64 returning 0) stands for one that misses a
name: then only the check of level 1 against the output, before the output
is emptied, is left, so it is tried with the hard link to level 1.

usage: fault_injection_test.py PROGRAM WORK_FOLDER
Exits 77 (skipped) where strace cannot trace, e.g. without ptrace."""
import collections
import os
import re
import shutil
import subprocess
import sys

# The calls to fail, with the errors that fit them.
ERRORS = {
    "openat": ["EIO", "EACCES", "EMFILE"],
    "read": ["EIO"],
    "write": ["EIO", "ENOSPC"],
    "close": ["EIO"],
    "fstat": ["EIO"],
    "newfstatat": ["EIO"],
    "fcntl": ["EIO"],
    "lseek": ["EIO"],
    "getdents64": ["EIO", "retval=0"],
    "ftruncate": ["EIO"],
    "readlink": ["EIO"],
}
LEVELS = ["#####\n#@$.#\n#####\n", "", "#####\n#. $@#\n#####"]  # the last one's last row is open
EXPECTED = "".join(level + ("\n" if level and not level.endswith("\n") else "") + "\n" for level in LEVELS)

program, work = sys.argv[1], sys.argv[2]
shutil.rmtree(work, ignore_errors=True)
folder = os.path.join(work, "set")
os.makedirs(folder)
for number, level in enumerate(LEVELS, 1):
    with open(os.path.join(folder, f"screen.{number}"), "w") as f:
        f.write(level)
output = os.path.join(work, "out.xsb")
args = [program, folder, "screen.%d", output]
env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")  # LeakSanitizer cannot run under ptrace


def read(path):
    with open(path) as f:
        return f.read()


def strace(options):
    return subprocess.run(["strace", "-f", "-qq", "-o", os.devnull] + options + ["--"] + args, env=env,
                          capture_output=True, text=True, timeout=60)


probe = subprocess.run(["strace", "-f", "-qq", "-o", os.devnull, "true"], capture_output=True, text=True)
if probe.returncode != 0:
    print(f"SKIP: strace cannot trace here: {probe.stderr.strip()}")
    sys.exit(77)

def levels():
    return {name: read(os.path.join(folder, name)) for name in os.listdir(folder) if name.startswith("screen.")}


levels_before = levels()
runs = failures = 0


def set_output(state):
    if os.path.lexists(output):
        os.remove(output)
    if state == "present":
        with open(output, "w") as f:
            f.write(EXPECTED)
    elif state.startswith("a hard link to level"):
        os.link(os.path.join(folder, "screen." + state[-1]), output)
    elif state == "a link to level 2":
        os.symlink(os.path.join(folder, "screen.2"), output)


def count_calls():
    log = os.path.join(work, "calls.log")
    subprocess.run(["strace", "-f", "-qq", "-o", log, "-e", "trace=" + ",".join(ERRORS)] + args, env=env,
                   capture_output=True)
    with open(log) as f:
        return collections.Counter(m.group(1) for m in map(re.compile(r"\d+\s+(\w+)\(").match, f) if m)


os.makedirs(os.path.join(folder, "sub"))
os.symlink(os.path.join(folder, "sub"), os.path.join(work, "lnk"))
STATES = {"absent": output, "present": output, "a hard link to level 1": output, "a hard link to level 3": output,
          "a link to level 2": output,
          "level 2 through a link and ..": os.path.join(work, "lnk", "..", "screen.2")}
for state, spelled in STATES.items():
    args[3] = spelled
    set_output(state)
    calls = count_calls()
    print(f"calls of a clean run, output {state}:", dict(calls))
    for call, errors in ERRORS.items():
        for error in errors:
            if error.startswith("retval=") and state != "a hard link to level 1":
                continue
            for nth in range(1, calls[call] + 1):
                set_output(state)
                fault = error if error.startswith("retval=") else f"error={error}"
                run = strace(["-e", f"trace={call}", "-e", f"inject={call}:{fault}:when={nth}"])
                runs += 1
                where = f"{call} #{nth} {error}, output {state}"
                problems = []
                if levels() != levels_before:
                    problems.append("a level file changed")
                count = run.stdout.strip()
                if count.isdigit() and state not in ("absent", "present"):
                    problems.append("a count for an output that is a level file")
                elif count.isdigit():
                    if int(count) != len(LEVELS):
                        problems.append(f"count {count} falls short of the series ({len(LEVELS)})")
                    elif read(output) != EXPECTED:
                        problems.append(f"count {count} with an output that is not levels 1 ... {count}")
                if problems:
                    failures += 1
                    print(f"FAIL {where}: {'; '.join(problems)}; exit {run.returncode}, stdout {run.stdout!r}, "
                          f"stderr {run.stderr.strip()!r}")
shutil.rmtree(work, ignore_errors=True)
print(f"{runs - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
