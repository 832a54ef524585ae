#include "datafiles/scratch_file.h"

#include <cstdio>

#include "platform/runtime.h"

namespace pomlets {

ScratchFile::ScratchFile() : path_(appPath("\\temp")) {}

ScratchFile::~ScratchFile() { std::remove(path_.c_str()); }

void ScratchFile::remove() { deleteFile(path_); }

} // namespace pomlets
