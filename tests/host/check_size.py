#!/usr/bin/env python3
"""Checks that a built file stays within its size budget.

usage: check_size.py FILE BUDGET_BYTES
Prints the size and the budget; exits with 1 when the file is larger than the budget. Where the bytes go shows
in a linker map: relink with -Wl,-Map,FILE.map (the README's section on size says how)."""

import sys
from pathlib import Path


def main(argv) -> int:
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    path, budget = Path(argv[1]), int(argv[2])
    size = path.stat().st_size
    verdict = "within" if size <= budget else "OVER"
    print(f"{path.name}: {size} bytes ({size / 1024:.1f} KB), {verdict} its budget of {budget} bytes "
          f"({budget / 1024:.1f} KB)")
    return 0 if size <= budget else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
