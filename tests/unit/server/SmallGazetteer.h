#pragma once

#include "server/Gazetteer.h"
#include "server/IndexWriter.h"

#include <string>

namespace terrabo::server::testing {

// A handful of places chosen for the cases they show: namesakes of
// different size, accented and alternate names, regions with codes.
IndexWriter smallGazetteerWriter();
Gazetteer smallGazetteer();

// Writes the small gazetteer to a file once and returns its path.
std::string smallGazetteerFile();

} // namespace terrabo::server::testing
