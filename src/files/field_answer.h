#pragma once

#include <string>

#include "files/field_file.h"

namespace rdsim {

// What the reader program hands back on its standard output: the field, or
// the reason the file was refused. Both ends are this program on one machine.
std::string EncodeFieldAnswer(const FieldFile& field);
std::string EncodeFieldRefusal(const std::string& reason);

// The field of an answer. A refusal, or an answer that is not exactly a
// field's (cut short, too long, out of range), raises RunError (FileAccess)
// with the reason, without the file's name.
FieldFile DecodeFieldAnswer(const std::string& bytes);

// An answer is never longer than this.
inline constexpr std::size_t FieldAnswerMaxBytes = 2 * 128 * 128 * sizeof(float) + 64 * 1024;

}  // namespace rdsim
