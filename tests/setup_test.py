#!/usr/bin/env python3
"""scripts/setup on a bad day: apt-get, dpkg, dpkg-query, locale and sudo are
stand-ins on PATH that record their calls and fail as mirrors do; apt-get
refuses a call without a lock timeout. Each row checks setup's exit status, a
line it printed, the installs it asked for, and that it said it waits for the
package manager only while another process holds the lock.

usage: setup_test.py SETUP WORK_FOLDER"""
import os
import re
import shutil
import subprocess
import sys

STANDINS = {
    "apt-get": r'''
[ "$1 $2" = "-o DPkg::Lock::Timeout=300" ] || { echo "apt-get without DPkg::Lock::Timeout: $*" >>"$CALLS"; exit 100; }
shift 2
echo "apt-get $*" >>"$CALLS"
if [ "$1" = update ]; then
  [ -z "$UPDATE_FAILS" ] && exit 0
  echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
  exit 100
fi
n=$(grep -c '^apt-get install' "$CALLS")
for p in "$@"; do
  if [ "$p" = "$REFUSE" ] && [ "$n" -le "${REFUSALS:-99}" ]; then
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100
  fi
done''',
    "dpkg": 'echo "dpkg $*" >>"$CALLS"',
    "dpkg-query": "exit 1",  # nothing is installed
    "locale": "echo ja_JP.utf8",
    "sudo": 'exec "$@"',
}
WINE32 = "install -y -qq --no-install-recommends wine32:i386"
OTHERS = "install -y -qq --no-install-recommends cmake"  # the first of them
WAITING = r"^setup: another program is installing packages; waiting up to 5 minutes for it to finish$"
# Holds dpkg's kind of lock (fcntl) on a file until its stdin closes.
HOLDER = "import fcntl, sys; f = open(sys.argv[1], 'a'); fcntl.lockf(f, fcntl.LOCK_EX); print(flush=True); sys.stdin.read()"

# name, environment, exit status, a line setup must print, the installs in order
ROWS = [
    ("every list fetched", {}, 0, r"installing wine32:i386", [OTHERS, WINE32]),
    ("one list fails", {"UPDATE_FAILS": "1"}, 0,
     r"^setup: warning: some package lists could not be fetched \(bookworm-security/main/binary-i386\); going on",
     [OTHERS, WINE32]),
    ("wine32:i386 refused", {"REFUSE": "wine32:i386"}, 0,
     r"^setup: 32-bit Wine \(wine32:i386\) cannot be installed now \(apt: Unable to correct problems, you have held "
     r"broken packages\.\); the Windows tests and scripts/run use 64-bit Wine instead\. Run scripts/setup again later",
     [OTHERS, WINE32, WINE32]),
    ("another package refused", {"REFUSE": "cmake"}, 1,
     r"^setup: FAILED: the packages above could not be installed", [OTHERS, OTHERS]),
    ("passes on the retry", {"REFUSE": "cmake", "REFUSALS": "1"}, 0, r"trying once more", [OTHERS, OTHERS, WINE32]),
    ("another install holds the lock", {"LOCK_HELD": "1"}, 0, WAITING, [OTHERS, WINE32]),
]

setup, work = sys.argv[1], sys.argv[2]
shutil.rmtree(work, ignore_errors=True)
bin_dir = os.path.join(work, "bin")
os.makedirs(bin_dir)
for name, body in STANDINS.items():
    path = os.path.join(bin_dir, name)
    with open(path, "w") as f:
        f.write("#!/bin/sh\n" + body + "\n")
    os.chmod(path, 0o755)

lock = os.path.join(work, "lock-frontend")
open(lock, "w").close()
failures = 0
for name, extra, status, line, installs in ROWS:
    calls = os.path.join(work, "calls.log")
    open(calls, "w").close()
    env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"], CALLS=calls, BRENVIK_DPKG_LOCK=lock, **extra)
    holder = None
    if "LOCK_HELD" in extra:
        holder = subprocess.Popen([sys.executable, "-c", HOLDER, lock], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        holder.stdout.readline()  # held from here on
    run = subprocess.run(["bash", setup], env=env, capture_output=True, text=True, timeout=60)
    if holder:
        holder.communicate(timeout=10)
    with open(calls) as f:
        asked = [c[len("apt-get "):] for c in f.read().splitlines() if c.startswith("apt-get install")]
    problems = []
    if run.returncode != status:
        problems.append(f"exit {run.returncode}, expected {status}")
    if not re.search(line, run.stderr, re.M):
        problems.append(f"no line matching {line!r}")
    if bool(re.search(WAITING, run.stderr, re.M)) != bool(holder):
        problems.append("the waiting line " + ("missing" if holder else "printed with the lock free"))
    if [a[:len(i)] for a, i in zip(asked, installs)] != installs or len(asked) != len(installs):
        problems.append(f"installs {asked}")
    if problems:
        failures += 1
        print(f"FAIL {name}: {'; '.join(problems)}\n{run.stderr}")
shutil.rmtree(work, ignore_errors=True)
print(f"{len(ROWS) - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
