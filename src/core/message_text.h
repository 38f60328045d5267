#pragma once

#include <string>
#include <string_view>

namespace rdsim {

// Values a message echoes come from users and files: a terminal must not
// act on them, and a huge one must not bury the message.

// The longest value a message shows whole, in characters.
inline constexpr std::size_t EchoedCharacters = 64;

// `value`, or when longer than EchoedCharacters its first and last
// characters around "...", EchoedCharacters in all.
std::string Shortened(std::string_view value);
// The shortened value in double quotes.
std::string Echoed(std::string_view value);

// The bytes of the UTF-8 character at the start of `text`, or 0 when its
// first byte begins none (overlong forms, surrogates and values past
// U+10FFFF included).
std::size_t Utf8CharacterBytes(std::string_view text);

// `message` with every control character (C0, DEL and C1) and every byte
// that is not part of a UTF-8 character shown as \xHH, for a terminal.
std::string Printable(std::string_view message);

}  // namespace rdsim
