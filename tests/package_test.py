#!/usr/bin/env python3
"""scripts/package on stand-in executables, in a copy of the source tree whose
texts come with each kind of line end: the zip's entries, their time (the
commit's), mode and compression, the executables byte for byte, and the texts
with CR LF line ends only and the source's text.

usage: package_test.py PACKAGE WORK_FOLDER"""
import os, re, shutil, subprocess, sys, zipfile

# name, the texts as a checkout gives them
ROWS = [("LF line ends", lambda text: text), ("CR LF line ends", lambda text: text.replace(b"\n", b"\r\n")),
        ("no line end after the last line", lambda text: text.rstrip(b"\n"))]
TEXTS = {"README.txt": "docs/README-windows.txt", "LICENSE.txt": "LICENSE"}
EXES = {"brenvik.exe": b"MZ\n\r\n\x1a1", "brenvik-gather.exe": b"MZ\r\n\n\x1a2"}  # a text-mode copy changes them
ENTRY = ((2001, 2, 3, 4, 5, 6), 0o644, zipfile.ZIP_DEFLATED)

package, work = sys.argv[1:]
source = os.path.dirname(os.path.dirname(os.path.abspath(package)))
read = lambda path: open(path, "rb").read()
shutil.rmtree(work, ignore_errors=True)
failures = 0
for number, (name, checkout) in enumerate(ROWS):
    tree = os.path.join(work, str(number))
    files = {"scripts/package": read(package), **{f"exe/{exe}": data for exe, data in EXES.items()},
             **{text: checkout(read(os.path.join(source, text))) for text in TEXTS.values()}}
    for path, data in files.items():
        os.makedirs(os.path.dirname(os.path.join(tree, path)), exist_ok=True)
        open(os.path.join(tree, path), "wb").write(data)
    os.chmod(os.path.join(tree, "scripts/package"), 0o755)
    subprocess.run("git init -q && git -c user.name=t -c user.email=t@invalid -c commit.gpgsign=false commit -q "
                   "--allow-empty -m t", shell=True, cwd=tree, check=True,
                   env=dict(os.environ, GIT_COMMITTER_DATE="2001-02-03T04:05:06Z"))
    run = subprocess.run(["scripts/package", "exe", "out", "9.8.7.6"], cwd=tree, capture_output=True, text=True,
                         timeout=60)
    if run.returncode:
        failures += 1
        print(f"FAIL {name}: exit {run.returncode}: {run.stderr}")
        continue
    problems = []
    with zipfile.ZipFile(os.path.join(tree, "out/brenvik-9.8.7.6-win32.zip")) as zf:
        entries = {os.path.relpath(e.filename, "brenvik-9.8.7.6-win32"): e for e in zf.infolist()}
        if sorted(entries) != sorted([*EXES, *TEXTS]):
            problems.append(f"entries {sorted(entries)}")
        for base, entry in entries.items():
            data = zf.read(entry)
            if (entry.date_time, entry.external_attr >> 16, entry.compress_type) != ENTRY:
                problems.append(f"{base}: {entry.date_time}, mode {entry.external_attr >> 16:o}, {entry.compress_type}")
            if data != EXES.get(base, data):
                problems.append(f"{base} changed: {data!r}")
            if base in TEXTS and (re.search(rb"\r(?!\n)|(?<!\r)\n", data) or
                                  data.replace(b"\r\n", b"\n") != read(os.path.join(source, TEXTS[base]))):
                problems.append(f"{base}: not the text of {TEXTS[base]} with CR LF line ends only")
    if problems:
        failures += 1
        print(f"FAIL {name}: {'; '.join(problems)}")
shutil.rmtree(work, ignore_errors=True)
print(f"{len(ROWS) - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
