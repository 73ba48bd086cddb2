#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Bytes as a message can show them: UTF-8 text as it is, control characters
// and bytes that are no UTF-8 as \xNN, and no more than `longest`
// characters of that, followed by "..." when there was more. A script of
// binary junk, or a line of a megabyte, makes a message of one short line.
std::string PrintableText(std::string_view bytes, std::size_t longest);
