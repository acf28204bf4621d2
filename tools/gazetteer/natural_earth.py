#!/usr/bin/env python3
"""Reduces Natural Earth 1:10m layers to what the gazetteer needs.

Each named feature becomes one line: a label point inside it, its bounding
box, its kind and its scale rank. Parts of one feature (a river's reaches, a
sea's polygons) are merged by name when they lie near each other.

    tools/gazetteer/natural_earth.py DIR_WITH_NE_JSON_GZ data/natural-earth

writes features.tsv, admin1.tsv and airports.tsv into the output folder.
"""

import gzip
import json
import math
import os
import sys

# featurecla (lower case) -> kind, per layer; None drops the feature.
MARINE = {
    "ocean": "ocean", "sea": "sea", "gulf": "gulf", "bay": "bay", "strait": "strait",
    "sound": "strait", "channel": "strait", "fjord": "bay", "lagoon": "bay", "inlet": "bay",
    "generic": "sea", "river": "river", "reef": "area",
}
REGIONS = {
    "island": "island", "island group": "archipelago", "range/mtn": "range",
    "plateau": "plateau", "desert": "desert", "pen/cape": "peninsula",
    "peninsula": "peninsula", "geoarea": "area", "coast": "area", "plain": "plain",
    "delta": "delta", "basin": "basin", "continent": "continent", "valley": "valley",
    "lowland": "plain", "tundra": "area", "isthmus": "area", "wetlands": "area",
    "gorge": "valley", "foothills": "range", "lake": "lake", "depression": "basin",
}
POINTS = {"island": "island", "cape": "cape", "waterfall": "waterfall"}
ELEVATION = {"mountain": "peak", "spot elevation": "peak", "volcano": "volcano",
             "depression": "basin"}
LAKES = {"lake": "lake", "reservoir": "reservoir", "alkaline lake": "lake"}
RIVERS = {"river": "river"}
PLAYAS = {"playa": "playa"}

# Parts of one name further apart than this are different features.
MERGE_GAP_DEGREES = 5.0


def load(folder, layer):
    with gzip.open(os.path.join(folder, layer + ".json.gz"), "rt", encoding="utf-8") as f:
        return json.load(f)["features"]


def clean_name(name):
    if not name:
        return ""
    name = " ".join(name.split())
    # Oceans are written in capitals for the map's labels.
    if name.isupper() and len(name) > 3:
        name = " ".join(w.capitalize() for w in name.split())
    return name


def polygons(geometry):
    if geometry["type"] == "Polygon":
        return [geometry["coordinates"]]
    if geometry["type"] == "MultiPolygon":
        return geometry["coordinates"]
    return []


def lines(geometry):
    if geometry["type"] == "LineString":
        return [geometry["coordinates"]]
    if geometry["type"] == "MultiLineString":
        return geometry["coordinates"]
    return []


def ring_area(ring):
    return abs(sum(x0 * y1 - x1 * y0 for (x0, y0, *_), (x1, y1, *_) in zip(ring, ring[1:]))) / 2


def inside_point(polygon):
    """A point inside the polygon: the middle of its widest run along the
    parallel through its centroid, which also works for crescents."""
    outer = polygon[0]
    area2 = 0.0
    cy = 0.0
    for (x0, y0, *_), (x1, y1, *_) in zip(outer, outer[1:]):
        cross = x0 * y1 - x1 * y0
        area2 += cross
        cy += (y0 + y1) * cross
    ys = [p[1] for p in outer]
    y = cy / (3 * area2) if area2 else (min(ys) + max(ys)) / 2
    y += 1e-7  # off any vertex
    crossings = []
    for ring in polygon:
        for (x0, y0, *_), (x1, y1, *_) in zip(ring, ring[1:]):
            if (y0 <= y) != (y1 <= y):
                crossings.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
    crossings.sort()
    best = None
    for a, b in zip(crossings[0::2], crossings[1::2]):
        if best is None or b - a > best[1] - best[0]:
            best = (a, b)
    if best is None:
        xs = [p[0] for p in outer]
        return (min(ys) + max(ys)) / 2, (min(xs) + max(xs)) / 2
    return y, (best[0] + best[1]) / 2


def line_middle(line):
    total = sum(math.dist(a[:2], b[:2]) for a, b in zip(line, line[1:]))
    walked = 0.0
    for a, b in zip(line, line[1:]):
        step = math.dist(a[:2], b[:2])
        if walked + step >= total / 2 and step > 0:
            t = (total / 2 - walked) / step
            return a[1] + t * (b[1] - a[1]), a[0] + t * (b[0] - a[0])
        walked += step
    return line[0][1], line[0][0]


def box_of(points):
    """(latMin, latMax, lonMin, lonMax); lonMin > lonMax when the shorter way
    round crosses the 180th meridian."""
    lats = [p[1] for p in points]
    lons = [p[0] for p in points]
    plain = (min(lons), max(lons))
    shifted = [x + 360 if x < 0 else x for x in lons]
    wrapped = (min(shifted), max(shifted))
    if wrapped[1] - wrapped[0] < plain[1] - plain[0] - 1e-9 and wrapped[1] > 180:
        lon_min, lon_max = wrapped[0], wrapped[1] - 360
        if lon_min > 180:
            lon_min -= 360
    else:
        lon_min, lon_max = plain
    return min(lats), max(lats), lon_min, lon_max


def lon_gap(a, b):
    d = abs(a - b) % 360
    return min(d, 360 - d)


def boxes_near(a, b):
    lat_gap = max(0.0, max(a[0], b[0]) - min(a[1], b[1]))
    centre_a = (a[2] + a[3]) / 2 if a[2] <= a[3] else 180
    centre_b = (b[2] + b[3]) / 2 if b[2] <= b[3] else 180
    half = lambda box: ((box[3] - box[2]) % 360) / 2
    gap = lon_gap(centre_a, centre_b) - half(a) - half(b)
    return lat_gap <= MERGE_GAP_DEGREES and gap <= MERGE_GAP_DEGREES


class Feature:
    def __init__(self, kind, name, alts, rank, context):
        self.kind = kind
        self.name = name
        self.alts = set(alts)
        self.rank = rank
        self.context = context
        self.points = []  # every vertex, for the box
        self.label = None  # (lat, lon)
        self.label_weight = -1.0
        self.elevation = 0

    def box(self):
        return box_of(self.points)

    def merge(self, other):
        self.alts |= other.alts
        self.rank = min(self.rank, other.rank)
        self.points += other.points
        if other.label_weight > self.label_weight:
            self.label, self.label_weight = other.label, other.label_weight
        self.context = self.context or other.context
        self.elevation = max(self.elevation, other.elevation)


def feature_from(props, geometry, kinds, name_fields=("name",), alt_fields=("name_alt", "namealt")):
    kind = kinds.get((props.get("featurecla") or "").strip().lower())
    if not geometry:
        return None
    name = ""
    for field in name_fields:
        name = clean_name(props.get(field))
        if name:
            break
    if not kind or not name:
        return None
    alts = [clean_name(props.get(f)) for f in alt_fields]
    alts = [a for a in alts if a and a != name]
    rank = props.get("scalerank")
    rank = int(rank) if isinstance(rank, (int, float)) and rank >= 0 else 10
    context = props.get("subregion") or props.get("region") or ""
    f = Feature(kind, name, alts, rank, clean_name(context))
    polys = polygons(geometry)
    if polys:
        for poly in polys:
            f.points += [p[:2] for p in poly[0]]
            weight = ring_area(poly[0])
            if weight > f.label_weight:
                f.label, f.label_weight = inside_point(poly), weight
    elif lines(geometry):
        for line in lines(geometry):
            f.points += [p[:2] for p in line]
            weight = sum(math.dist(a[:2], b[:2]) for a, b in zip(line, line[1:]))
            if weight > f.label_weight:
                f.label, f.label_weight = line_middle(line), weight
    elif geometry["type"] == "Point":
        lon, lat = geometry["coordinates"][:2]
        f.label, f.label_weight = (lat, lon), 0
        f.points = []
    else:
        return None
    if isinstance(props.get("elevation"), (int, float)):
        f.elevation = int(props["elevation"])
    return f


def merged(features):
    groups = {}
    for f in features:
        groups.setdefault((f.kind, f.name.lower()), []).append(f)
    out = []
    for parts in groups.values():
        clusters = []
        for f in parts:
            if not f.points:
                clusters.append(f)
                continue
            for c in clusters:
                if c.points and boxes_near(c.box(), f.box()):
                    c.merge(f)
                    break
            else:
                clusters.append(f)
        out += clusters
    return out


def ocean_wholes(features):
    """Natural Earth splits the Atlantic and the Pacific at the equator; people
    ask for the whole ocean."""
    out = []
    for whole in ("Atlantic Ocean", "Pacific Ocean"):
        halves = [f for f in features if f.kind == "ocean" and f.name.endswith(whole)
                  and f.name != whole]
        if len(halves) < 2:
            continue
        w = Feature("ocean", whole, [whole.split()[0]], 0, "")
        for h in halves:
            w.points += h.points
        # The equator, in the middle of the halves' label longitudes.
        w.label = (0.0, sum(h.label[1] for h in halves) / len(halves))
        out.append(w)
    return out


def number(x):
    return f"{x:.5f}".rstrip("0").rstrip(".") if x != int(x) else str(int(x))


def write_features(path, features):
    with open(path, "w", encoding="utf-8") as out:
        out.write("# kind\tname\talternate names\tlat\tlon\tlatMin\tlatMax\tlonMin\tlonMax"
                  "\tscalerank\televation\tcontext\n")
        for f in sorted(features, key=lambda f: (f.kind, f.name, f.label)):
            box = f.box() if f.points else None
            fields = [f.kind, f.name, ";".join(sorted(f.alts)), number(round(f.label[0], 4)),
                      number(round(f.label[1], 4))]
            fields += [number(round(v, 3)) for v in box] if box else ["", "", "", ""]
            fields += [str(f.rank), str(f.elevation) if f.elevation else "", f.context]
            out.write("\t".join(fields) + "\n")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)

    features = []
    for layer, kinds in (
        ("ne_10m_geography_marine_polys", MARINE),
        ("ne_10m_geography_regions_polys", REGIONS),
        ("ne_10m_geography_regions_points", POINTS),
        ("ne_10m_geography_regions_elevation_points", ELEVATION),
        ("ne_10m_lakes", LAKES),
        ("ne_10m_rivers_lake_centerlines", RIVERS),
        ("ne_10m_playas", PLAYAS),
    ):
        for ft in load(source, layer):
            f = feature_from(ft["properties"], ft["geometry"], kinds)
            if f:
                features.append(f)
    for ft in load(source, "ne_10m_parks_and_protected_lands_point"):
        p = ft["properties"]
        name = clean_name(p.get("name"))
        unit = clean_name(p.get("unit_type"))
        if not name:
            continue
        full = f"{name} {unit}" if unit and not name.endswith(unit) else name
        f = Feature("park", full, [name] if full != name else [], int(p.get("scalerank") or 10), "")
        lon, lat = ft["geometry"]["coordinates"][:2]
        f.label, f.label_weight = (lat, lon), 0
        features.append(f)
    features = merged(features)
    features += ocean_wholes(features)
    write_features(os.path.join(target, "features.tsv"), features)

    # One point per region: a region in several pieces has one per piece,
    # and adm0_sr is smallest on the main one.
    regions = {}
    for ft in load(source, "ne_10m_admin_1_label_points"):
        p = ft["properties"]
        name = clean_name(p.get("name"))
        country = p.get("iso_a2") or ""
        if p.get("featurecla") != "Admin-1 scale rank":
            continue
        if not name or len(country) != 2 or not country.isalpha():
            continue
        lon, lat = ft["geometry"]["coordinates"][:2]
        order = (p.get("adm0_sr") or 99, lat, lon)
        code = p.get("adm1_code") or (country, name)
        row = (country, name, number(round(lat, 4)), number(round(lon, 4)),
               str(int(p.get("scalerank") or 10)))
        if code not in regions or order < regions[code][0]:
            regions[code] = (order, row)
    with open(os.path.join(target, "admin1.tsv"), "w", encoding="utf-8") as out:
        out.write("# country\tname\tlat\tlon\tscalerank\n")
        for row in sorted(r for _, r in regions.values()):
            out.write("\t".join(row) + "\n")

    with open(os.path.join(target, "airports.tsv"), "w", encoding="utf-8") as out:
        out.write("# iata\tscalerank\n")
        rows = set()
        for ft in load(source, "ne_10m_airports"):
            p = ft["properties"]
            code = (p.get("iata_code") or "").strip()
            if len(code) == 3 and code.isalpha():
                rows.add((code.upper(), str(int(p.get("scalerank") or 10))))
        for row in sorted(rows):
            out.write("\t".join(row) + "\n")


if __name__ == "__main__":
    main()
