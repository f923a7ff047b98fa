#pragma once

#include <filesystem>
#include <vector>

namespace quillery::fuzz {

// The files a replay runs, in a fixed order: each argument that is a file,
// and every file inside each argument that is a folder (its sub-folders
// too), sorted by path. Names that start with "." are left out. Throws
// std::runtime_error naming an argument that is neither.
std::vector<std::filesystem::path> ReplayInputs(const std::vector<std::filesystem::path>& arguments);

} // namespace quillery::fuzz
