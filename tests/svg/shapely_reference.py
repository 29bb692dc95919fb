#!/usr/bin/python3
"""Measures unions against Shapely (GEOS), which shares no code with Clipper.
Input on stdin: JSON cases {"input": [[d, ...] per element], "units":
[[d, ...] per unit, outer ring last]}, d holding M, L and Z; rings fill by
the even-odd rule. Output per case: the area where inputs and units differ,
the union's boundary length, and the rings outside their unit's outer ring
plus outer rings inside another's. Exit status 3 without Shapely."""
import json
import re
import sys

try:
    from shapely.geometry import Polygon
    from shapely.ops import unary_union
except ImportError:
    sys.exit(3)


def rings_of(paths):
    rings = []
    for command, numbers in re.findall(r"([MLZ])([^MLZ]*)", " ".join(paths)):
        if command == "M":
            rings.append([])
        if command != "Z":
            rings[-1].append([float(n) for n in numbers.split()])
    return [Polygon(ring).buffer(0) for ring in rings if len(ring) >= 3]


def even_odd(paths):
    shape = Polygon()
    for ring in rings_of(paths):
        shape = shape.symmetric_difference(ring)
    return shape


def measure(case):
    reference = unary_union([even_odd(paths) for paths in case["input"]])
    ours = unary_union([even_odd(paths) for paths in case["units"]])
    outers = [rings_of(unit)[-1] for unit in case["units"]]
    outside = sum(not o.buffer(0.01).contains(r) for u, o in zip(case["units"], outers) for r in rings_of(u)[:-1])
    inside = sum(b.buffer(-0.01).contains(a.representative_point()) for a in outers for b in outers if a is not b)
    return {"difference": reference.symmetric_difference(ours).area, "length": reference.length,
            "misnested": outside + inside}


print(json.dumps([measure(case) for case in json.load(sys.stdin)]))
