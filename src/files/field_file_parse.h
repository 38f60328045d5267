#pragma once

#include <string>

#include "files/field_file.h"

namespace rdsim {

// The field held in the bytes of a field file, with every check that
// ReadFieldFile promises. Before any value is read, u and v must be
// datasets kept inside the file itself (no link, no external storage, no
// virtual dataset), compressed with deflate and shuffle at most, in chunks
// no larger than a field, none stored larger than its values need: a file
// that would make the library open another file or inflate more than a
// field is refused. Raises RunError (FileAccess) saying what is wrong,
// without the file's name.
//
// Only the reader program calls it: the HDF5 library is not hardened against
// damaged files, so its faults must end that process, not the caller's.
FieldFile ParseFieldFile(const std::string& bytes);

}  // namespace rdsim
