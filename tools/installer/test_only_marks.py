#!/usr/bin/env python3
"""test_only_marks.py KEY.pem FOLDER...: lists every file below the folders that carries something
only a build made for the tests may hold: the test key (the X coordinate of its public point, as
the program compiles it in) or the name of a test-only environment variable, in ASCII or UTF-16.
Exit status 1 when any file does, 0 when none does, 2 on bad use. The release build runs it over
the staged program folder before packing, so that no installer carries them."""
import subprocess
import sys
from pathlib import Path

NAMES = ["Q350_UPDATE_SERVER"]


def key_x(pem):
    der = subprocess.run(["openssl", "ec", "-in", pem, "-pubout", "-outform", "DER"],
                         check=True, capture_output=True).stdout
    return der[-64:-32]  # the point ends the SubjectPublicKeyInfo: 0x04, X, Y


def main(argv):
    if len(argv) < 3:
        print(__doc__.splitlines()[0], file=sys.stderr)
        return 2
    marks = {"the test key": key_x(argv[1])}
    for name in NAMES:
        marks[name] = name.encode("ascii")
        marks[name + " (UTF-16)"] = name.encode("utf-16-le")
    found = 0
    for folder in argv[2:]:
        for path in sorted(Path(folder).rglob("*")):
            if not path.is_file():
                continue
            data = path.read_bytes()
            for what, mark in marks.items():
                if mark in data:
                    print(f"{path}: holds {what}")
                    found += 1
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
