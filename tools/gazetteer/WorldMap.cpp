#include "tools/gazetteer/WorldMap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace terrabo::gazetteer {
namespace {

struct Point {
    long x;
    long y;
};

struct LonLat {
    double lon;
    double lat;
};

Point project(double lon, double lat) {
    const double phi = std::clamp(lat, -85.0, 85.0) * std::numbers::pi / 180;
    const double mercator =
        std::log(std::tan(std::numbers::pi / 4 + phi / 2)) * 180 / std::numbers::pi;
    return {std::lround(lon * 10), std::lround(-mercator * 10)};
}

using Arc = std::vector<LonLat>;

std::optional<std::vector<Arc>> decodeArcs(const Json& topology) {
    const Json* transform = member(topology, "transform");
    const Json* arcs = member(topology, "arcs");
    if (!transform || !arcs || !arcs->is_array())
        return std::nullopt;
    const Json* scale = member(*transform, "scale");
    const Json* translate = member(*transform, "translate");
    if (!scale || !translate || !scale->is_array() || !translate->is_array() ||
        scale->size() != 2 || translate->size() != 2)
        return std::nullopt;
    const double sx = numberAt(*scale, 0), sy = numberAt(*scale, 1);
    const double tx = numberAt(*translate, 0), ty = numberAt(*translate, 1);

    std::vector<Arc> out;
    out.reserve(arcs->size());
    for (const Json& arc : *arcs) {
        if (!arc.is_array())
            return std::nullopt;
        Arc points;
        double qx = 0, qy = 0;
        for (const Json& delta : arc) {
            if (!delta.is_array() || delta.size() < 2)
                return std::nullopt;
            qx += numberAt(delta, 0);
            qy += numberAt(delta, 1);
            points.push_back({qx * sx + tx, qy * sy + ty});
        }
        out.push_back(std::move(points));
    }
    return out;
}

void appendNumber(std::string& out, long value, bool afterCommand) {
    if (value >= 0 && !afterCommand)
        out += ' ';
    out += std::to_string(value);
}

// Some shapes cross the antimeridian (Chukotka, Fiji): their longitudes jump
// by 360 degrees and a plain drawing would cross the whole map. Such a ring
// is made continuous instead, reaching past 180; the map's copies at -360 and
// +360 show the part beyond. A ring around a pole (Antarctica) cannot close
// that way and keeps its longitudes.
void unwrapLongitudes(std::vector<LonLat>& ring) {
    std::vector<LonLat> unwrapped = ring;
    for (size_t i = 1; i < unwrapped.size(); ++i) {
        double lon = unwrapped[i].lon;
        while (lon - unwrapped[i - 1].lon > 180)
            lon -= 360;
        while (lon - unwrapped[i - 1].lon < -180)
            lon += 360;
        unwrapped[i].lon = lon;
    }
    if (!unwrapped.empty() && std::abs(unwrapped.back().lon - unwrapped.front().lon) < 180)
        ring = std::move(unwrapped);
}

bool appendRing(std::string& out, const std::vector<Arc>& arcs, const Json& ring, int minStep) {
    std::vector<LonLat> lonLats;
    if (!ring.is_array())
        return false;
    for (const Json& index : ring) {
        if (!index.is_number())
            return false;
        const long i = std::lround(index.get<double>());
        const long arc = i >= 0 ? i : ~i;
        if (arc < 0 || static_cast<size_t>(arc) >= arcs.size())
            return false;
        Arc piece = arcs[arc];
        if (i < 0)
            std::reverse(piece.begin(), piece.end());
        // Each arc starts where the one before it ended.
        lonLats.insert(lonLats.end(), piece.begin() + (lonLats.empty() || piece.empty() ? 0 : 1),
                       piece.end());
    }
    unwrapLongitudes(lonLats);
    std::vector<Point> points;
    for (const LonLat& p : lonLats)
        points.push_back(project(p.lon, p.lat));
    std::vector<Point> kept;
    for (const Point& p : points) {
        if (kept.empty() ||
            std::max(std::labs(p.x - kept.back().x), std::labs(p.y - kept.back().y)) >= minStep)
            kept.push_back(p);
    }
    if (kept.size() < 3)
        return true;
    out += 'M';
    appendNumber(out, kept[0].x, true);
    appendNumber(out, kept[0].y, false);
    out += 'l';
    for (size_t i = 1; i < kept.size(); ++i) {
        appendNumber(out, kept[i].x - kept[i - 1].x, i == 1);
        appendNumber(out, kept[i].y - kept[i - 1].y, false);
    }
    out += 'z';
    return true;
}

} // namespace

std::optional<std::string> countriesPath(const Json& topology, int minStep) {
    const auto arcs = decodeArcs(topology);
    const Json* objects = member(topology, "objects");
    const Json* countries = objects ? member(*objects, "countries") : nullptr;
    const Json* geometries = countries ? member(*countries, "geometries") : nullptr;
    if (!arcs || !geometries || !geometries->is_array())
        return std::nullopt;
    std::string path;
    for (const Json& geometry : *geometries) {
        const std::string type = textAt(geometry, "type");
        const Json* rings = member(geometry, "arcs");
        if (!rings || !rings->is_array())
            continue;
        std::vector<const Json*> polygons;
        if (type == "Polygon")
            polygons.push_back(rings);
        else if (type == "MultiPolygon")
            for (const Json& polygon : *rings)
                polygons.push_back(&polygon);
        for (const Json* polygon : polygons) {
            if (!polygon->is_array())
                return std::nullopt;
            for (const Json& ring : *polygon)
                if (!appendRing(path, *arcs, ring, minStep))
                    return std::nullopt;
        }
    }
    return path;
}

std::optional<std::map<std::string, server::BoundingBox>> countryBoxes(const Json& topology) {
    const auto arcs = decodeArcs(topology);
    const Json* objects = member(topology, "objects");
    const Json* countries = objects ? member(*objects, "countries") : nullptr;
    const Json* geometries = countries ? member(*countries, "geometries") : nullptr;
    if (!arcs || !geometries || !geometries->is_array())
        return std::nullopt;
    std::map<std::string, server::BoundingBox> out;
    for (const Json& geometry : *geometries) {
        const Json* id = member(geometry, "id");
        const Json* rings = member(geometry, "arcs");
        if (!id || !id->is_string() || !rings)
            continue;
        std::vector<double> lats, lons;
        // Every arc index anywhere in the nesting, reversed ones included.
        std::vector<const Json*> pending{rings};
        while (!pending.empty()) {
            const Json* node = pending.back();
            pending.pop_back();
            if (node->is_array()) {
                for (const Json& child : *node)
                    pending.push_back(&child);
            } else if (node->is_number()) {
                const long i = std::lround(node->get<double>());
                const long arc = i >= 0 ? i : ~i;
                if (arc < 0 || static_cast<size_t>(arc) >= arcs->size())
                    return std::nullopt;
                for (const LonLat& p : (*arcs)[arc]) {
                    lats.push_back(p.lat);
                    lons.push_back(p.lon);
                }
            }
        }
        if (lats.empty())
            continue;
        server::BoundingBox box{*std::min_element(lats.begin(), lats.end()),
                                *std::max_element(lats.begin(), lats.end()), 0, 0};
        // The box goes round the other way when the widest gap between
        // neighbouring longitudes is wider than the way through 180.
        std::sort(lons.begin(), lons.end());
        double gap = 0;
        size_t gapAt = 0;
        for (size_t i = 1; i < lons.size(); ++i)
            if (lons[i] - lons[i - 1] > gap) {
                gap = lons[i] - lons[i - 1];
                gapAt = i;
            }
        const double through180 = 360 - (lons.back() - lons.front());
        if (gap > through180) {
            box.lonMin = lons[gapAt];
            box.lonMax = lons[gapAt - 1];
        } else {
            box.lonMin = lons.front();
            box.lonMax = lons.back();
        }
        out[id->get<std::string>()] = box;
    }
    return out;
}

} // namespace terrabo::gazetteer
