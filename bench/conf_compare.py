#!/usr/bin/python3
"""The largest difference, in degrees, between two tables of angles of the
same shape (rows of white-space-separated numbers), taking the wrap at
+-180 into account. Exits 1 when the shapes differ or the difference is
larger than the limit (default 0.01).

Usage: conf_compare.py table1 table2 [limit]
"""
import sys

import numpy as np


def main():
    first, second = (np.loadtxt(name, ndmin=2) for name in sys.argv[1:3])
    limit = float(sys.argv[3]) if len(sys.argv) > 3 else 0.01
    if first.shape != second.shape:
        print("shapes differ: %s and %s" % (first.shape, second.shape))
        sys.exit(1)
    difference = np.abs(first - second)
    difference = np.minimum(difference, 360.0 - difference)
    worst = difference.max() if difference.size else 0.0
    print("%d rows of %d angles; largest difference %.4f degrees" % (first.shape[0], first.shape[1], worst))
    sys.exit(0 if worst <= limit else 1)


if __name__ == "__main__":
    main()
