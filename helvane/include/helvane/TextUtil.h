// Text helpers shared inside the utility library.
#pragma once

#include <string>
#include <string_view>

namespace helvane {

// Upper-cases the letters a to z only; every other character, Korean included, is kept.
std::wstring ToUpperAscii(std::wstring_view text);

} // namespace helvane
