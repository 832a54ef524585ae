#include "datafiles/scratch_file.h"

#include <unistd.h>

#include "platform/file_calls.h"
#include "platform/runtime.h"

namespace pomlets {

ScratchFile::ScratchFile() : path_(appPath("\\temp")) {}

// unlink, not remove: a directory that happens to be named "temp" is not
// the scratch file and is left alone.
ScratchFile::~ScratchFile() { fileCalls().unlink(path_.c_str()); }

void ScratchFile::remove() { deleteFile(path_); }

} // namespace pomlets
