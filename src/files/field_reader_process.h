#pragma once

#include <string>

namespace rdsim {

// The reader program's file name, and where it is looked for: beside the
// running program and beside the library or module that holds this code,
// then in the libexec folder of an installed tree (relative to either, then
// the configured prefix). SetFieldReaderProgram (field_file.h) overrides it.
inline constexpr const char* FieldReaderName = "rdsim-field-reader";

// The reader program that ReadFieldFile starts; raises RunError (FileAccess)
// naming where it looked when there is none.
std::string FieldReaderProgram();

// Runs the reader program on the open file `fd` (handed over as its standard
// input) and returns its answer. A reader that outlives FieldReadSeconds is
// killed; one that ends by a signal or says nothing whole raises RunError
// (FileAccess) with the reason, without the file's name. Never blocks longer.
std::string RunFieldReader(int fd);

}  // namespace rdsim
