#include "replay_inputs.h"

#include <algorithm>
#include <stdexcept>

namespace quillery::fuzz {

namespace {

bool Hidden(const std::filesystem::path& path)
{
    return path.filename().string().starts_with('.');
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    auto walk = std::filesystem::recursive_directory_iterator(folder);
    for (auto it = begin(walk); it != end(walk); ++it) {
        if (Hidden(it->path())) {
            it.disable_recursion_pending();
        } else if (it->is_regular_file()) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

std::vector<std::filesystem::path> ReplayInputs(const std::vector<std::filesystem::path>& arguments)
{
    std::vector<std::filesystem::path> inputs;
    for (const std::filesystem::path& argument : arguments) {
        if (std::filesystem::is_regular_file(argument)) {
            inputs.push_back(argument);
        } else if (std::filesystem::is_directory(argument)) {
            const auto files = FilesIn(argument);
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else {
            throw std::runtime_error("\"" + argument.string() + "\" is neither a file nor a folder");
        }
    }
    return inputs;
}

} // namespace quillery::fuzz
