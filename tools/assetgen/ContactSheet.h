// One picture that shows every generated picture with its file name, for review.
#pragma once

#include <string>

#include "Generator.h"

namespace assetgen {

void WriteContactSheet(Generator& gen, const std::string& path);

}  // namespace assetgen
