#!/usr/bin/python3
"""Measures boolean results against Shapely (GEOS), an implementation that
shares no code with the Clipper library.

Reads a JSON list of cases, each {"input": [[ring, ...] per element],
"units": [[ring, ...] per unit, outer ring last]}, a ring being a list of
[x, y]. An element's rings fill by the even-odd rule; so do a unit's. Writes
for each case: the area of the union of the inputs, the area of the units,
the area where the two differ, the length of the union's boundary, and how
many unit rings lie outside their unit's outer ring or how many outer rings
lie inside another unit's outer ring.
Exit status 3 when Shapely is missing."""
import json
import sys

try:
    from shapely.geometry import Polygon
    from shapely.ops import unary_union
except ImportError:
    sys.exit(3)

TOLERANCE = 0.01


def even_odd(rings):
    shape = Polygon()
    for ring in rings:
        if len(ring) >= 3:
            shape = shape.symmetric_difference(Polygon(ring).buffer(0))
    return shape


def misnested(units):
    outers = [Polygon(unit[-1]).buffer(0) for unit in units]
    count = 0
    for unit, outer in zip(units, outers):
        grown = outer.buffer(TOLERANCE)
        count += sum(1 for ring in unit[:-1] if not grown.contains(Polygon(ring).buffer(0)))
    for i, a in enumerate(outers):
        for j, b in enumerate(outers):
            if i != j and b.buffer(-TOLERANCE).contains(a.representative_point()):
                count += 1
    return count


def measure(case):
    reference = unary_union([even_odd(rings) for rings in case["input"]])
    ours = unary_union([even_odd(rings) for rings in case["units"]])
    return {
        "reference": reference.area,
        "ours": ours.area,
        "difference": reference.symmetric_difference(ours).area,
        "length": reference.length,
        "misnested": misnested(case["units"]),
    }


with open(sys.argv[1]) as source:
    print(json.dumps([measure(case) for case in json.load(source)]))
