// preview.h -- the contact sheet: every baked picture with the regions the game draws outlined
// and labelled, for reviewing the art at a glance.
#pragma once

#include <string>
#include <vector>

#include "bake.h"

// Writes the sheet as a PNG. False (with a message on stderr) when it cannot be written.
bool WriteContactSheet(const std::vector<BakedFile>& files, const std::string& path);
