"""The tables of reading by word beyond the dictionary: engine/data/character_readings.txt and
engine/data/simplified.txt are what their generators make of the installed sources, and the
converter reads every character of the national standard character list by word (the 8,105
characters that Unihan gives a kTGHZ2013 reading). Exits 77 (skipped) when Unihan is not
installed; the simplified table is only compared where OpenCC's data is installed.

Usage: check_character_tables.py MIBOLAN_CONVERT UNIHAN OPENCC_DIR
"""

import os
import subprocess
import sys
import tempfile

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO_ROOT, "tools"))

from gen_dictionary import open_text  # noqa: E402

STANDARD_LIST_SIZE = 8105


def regenerates(generator, committed, arguments):
    with tempfile.TemporaryDirectory() as scratch:
        fresh = os.path.join(scratch, "fresh.txt")
        subprocess.run([sys.executable, "-B", os.path.join(REPO_ROOT, "tools", generator), *arguments, "-o", fresh],
                       check=True)
        with open(fresh, "rb") as made, open(os.path.join(REPO_ROOT, "engine", "data", committed), "rb") as kept:
            if made.read() != kept.read():
                print(f"engine/data/{committed} differs from a fresh run: python3 tools/{generator} "
                      f"-o engine/data/{committed}", file=sys.stderr)
                return False
    return True


def standard_list(unihan):
    with open_text(unihan) as source:
        return [chr(int(line[2:line.index("\t")], 16)) for line in source if "\tkTGHZ2013\t" in line]


def main(converter, unihan, opencc_dir):
    if not os.path.isfile(unihan):
        print(f"SKIP: {unihan} not found (Debian's unicode-data)")
        return 77
    ok = regenerates("gen_character_readings.py", "character_readings.txt", ["--unihan", unihan])
    if os.path.isfile(os.path.join(opencc_dir, "TSCharacters.ocd2")):
        ok = regenerates("gen_simplified.py", "simplified.txt", ["--opencc-dir", opencc_dir, "--unihan", unihan]) and ok
    else:
        print(f"note: {opencc_dir}/TSCharacters.ocd2 not found (Debian's libopencc-data): simplified.txt not compared")

    characters = standard_list(unihan)
    if len(characters) != STANDARD_LIST_SIZE:
        print(f"expected {STANDARD_LIST_SIZE} characters with kTGHZ2013, found {len(characters)}", file=sys.stderr)
        return 1
    text = "".join(char + "\n" for char in characters)
    output = subprocess.run([converter, "--words", "--keep-lines", "--style=numbers"], input=text.encode("utf-8"),
                            capture_output=True, check=True).stdout.decode("utf-8").split("\n")
    unread = [char for char, line in zip(characters, output) if len(line.split()) != 1]
    if unread:
        print(f"{len(unread)} characters of the standard list read without one reading: {''.join(unread[:40])}",
              file=sys.stderr)
        ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
