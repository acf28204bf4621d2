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
    const Json* transform = topology.find("transform");
    const Json* arcs = topology.find("arcs");
    if (!transform || !arcs || arcs->type != Json::Type::Array)
        return std::nullopt;
    const Json* scale = transform->find("scale");
    const Json* translate = transform->find("translate");
    if (!scale || !translate || scale->array.size() != 2 || translate->array.size() != 2)
        return std::nullopt;
    const double sx = scale->array[0].number, sy = scale->array[1].number;
    const double tx = translate->array[0].number, ty = translate->array[1].number;

    std::vector<Arc> out;
    out.reserve(arcs->array.size());
    for (const Json& arc : arcs->array) {
        Arc points;
        double qx = 0, qy = 0;
        for (const Json& delta : arc.array) {
            if (delta.array.size() < 2)
                return std::nullopt;
            qx += delta.array[0].number;
            qy += delta.array[1].number;
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
    for (const Json& index : ring.array) {
        const long i = std::lround(index.number);
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
    const Json* objects = topology.find("objects");
    const Json* countries = objects ? objects->find("countries") : nullptr;
    const Json* geometries = countries ? countries->find("geometries") : nullptr;
    if (!arcs || !geometries)
        return std::nullopt;
    std::string path;
    for (const Json& geometry : geometries->array) {
        const std::string type = geometry.text("type");
        const Json* rings = geometry.find("arcs");
        if (!rings)
            continue;
        std::vector<const Json*> polygons;
        if (type == "Polygon")
            polygons.push_back(rings);
        else if (type == "MultiPolygon")
            for (const Json& polygon : rings->array)
                polygons.push_back(&polygon);
        for (const Json* polygon : polygons)
            for (const Json& ring : polygon->array)
                if (!appendRing(path, *arcs, ring, minStep))
                    return std::nullopt;
    }
    return path;
}

} // namespace terrabo::gazetteer
