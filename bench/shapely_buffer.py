#!/usr/bin/python3
"""Times Shapely's (GEOS) buffer of one ring with round joins, the peer of
the ring offset benchmark. Arguments: a file of "x y" lines (the ring), the
distance and the segments per quarter turn. Prints the milliseconds of the
buffer alone and the area of its result. Exit status 3 without Shapely."""
import sys
import time

try:
    from shapely.geometry import Polygon
except ImportError:
    sys.exit(3)

with open(sys.argv[1]) as points:
    ring = Polygon([tuple(float(n) for n in line.split()) for line in points])
start = time.perf_counter()
grown = ring.buffer(float(sys.argv[2]), int(sys.argv[3]))
print((time.perf_counter() - start) * 1000, grown.area)
