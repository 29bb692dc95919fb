#!/usr/bin/python3
"""Measures generated outlines against Shapely (GEOS), which shares no code
with Clipper. Input on stdin: a JSON list of cases, each with "kind" and
rings as lists of [x, y]:
- "split": "original" (ring), "pieces" (rings): the area the pieces share,
  the area they cover outside the original, the area of the original they
  leave uncovered;
- "tear": "pieces" (rings), "separation", "lines" (rings): the Hausdorff
  distance between the lines and the boundary of the pieces buffered by the
  separation, the number of lines and of buffered components;
- "expand": "original" (ring), "marked" (indices), "width", "result" (ring):
  the farthest distance of a result point that is no unmarked original
  point from the buffered original's boundary, and whether the unmarked
  points appear in the result in their order.
Output: one JSON object per case. Exit status 3 without Shapely."""
import json
import sys

try:
    from shapely.geometry import MultiLineString, Point, Polygon
    from shapely.ops import unary_union
except ImportError:
    sys.exit(3)


def split(case):
    original = Polygon(case["original"])
    pieces = [Polygon(p) for p in case["pieces"]]
    shared = sum(a.intersection(b).area for i, a in enumerate(pieces) for b in pieces[i + 1:])
    covered = unary_union(pieces)
    return {"shared": shared, "outside": covered.difference(original).area,
            "uncovered": original.difference(covered).area}


def tear(case):
    buffered = unary_union([Polygon(p).buffer(case["separation"], resolution=64) for p in case["pieces"]])
    components = getattr(buffered, "geoms", [buffered])
    lines = MultiLineString([ring for ring in case["lines"]])
    return {"distance": lines.hausdorff_distance(buffered.boundary), "lines": len(case["lines"]),
            "components": len(components)}


def expand(case):
    original = case["original"]
    kept = [tuple(p) for i, p in enumerate(original) if i not in case["marked"]]
    result = [tuple(p) for p in case["result"]]
    boundary = Polygon(original).buffer(case["width"], resolution=256).exterior
    off = max([boundary.distance(Point(p)) for p in result if p not in kept] or [0.0])
    positions = [result.index(p) for p in kept if p in result]
    start = positions.index(min(positions)) if positions else 0
    in_order = len(positions) == len(kept) and positions[start:] + positions[:start] == sorted(positions)
    return {"offBand": off, "keptInOrder": in_order}


print(json.dumps([{"split": split, "tear": tear, "expand": expand}[case["kind"]](case)
                  for case in json.load(sys.stdin)]))
