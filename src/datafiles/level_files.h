// The piece-definition files "\init\<4 digits>" and the level files "\levels\<n>".
#pragma once

#include <string>

#include "common/brains.h"

namespace pomlets {

// Reads the definition file "\init\<name>" into a whole record and, unless its
// type is "BType" or "Pin", loads its picture "\images\<picture>.bmp" keyed
// with colorKey. Fields the file does not carry are left empty.
PieceDef loadPieceDef(const std::string& name);

// Reads a level file (complete path): the spawn interval, with the header the
// level's caption, award and goals into currentLevel, and then the spawn
// range of every definition of pieceDefs that a spawn record names.
void loadLevel(const std::string& path, bool withHeader);

} // namespace pomlets
