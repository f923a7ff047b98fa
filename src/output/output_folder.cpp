#include "output/output_folder.h"

#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/fresh_output.h"
#include "util/path_text.h"

#include <filesystem>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>

namespace quillery {

namespace {

// "/", and the system's own separator where it is another.
constexpr std::u16string_view kSeparators = kPathSeparator == u'/' ? u"/" : u"/\\";

bool IsSeparator(char16_t c)
{
    return kSeparators.find(c) != std::u16string_view::npos;
}

std::u16string WantedFolder(const std::u16string& baseFolder)
{
    std::u16string folder = baseFolder;
    if (!folder.empty() && IsSeparator(folder.back())) {
        folder.pop_back();
    }
    return folder + kPathSeparator + u"My Clippings";
}

} // namespace

std::u16string WriteIntoNewFolder(const RunRequest& request, FrontEnd& frontEnd,
                                  const std::function<void(FreshFolder& folder)>& write)
{
    std::optional<FreshFolder> output;
    try {
        output.emplace(WantedFolder(request.baseFolder));
    } catch (const std::bad_alloc&) {
        throw RunError::OutOfMemory("write the output");
    }
    std::u16string folder = output->path();
    // Until the first file is made, a failure or a run given up leaves nothing.
    // The folder is let go first: Windows removes no folder held open.
    const auto removeFolder = [&output, &folder] {
        output.reset();
        std::error_code ignored;
        std::filesystem::remove(ToFsPath(folder), ignored);
    };
    try {
        frontEnd.EnterPhase(RunPhase::saving);
        // The last moment the run can be given up.
        frontEnd.Yield();
    } catch (const std::bad_alloc&) {
        removeFolder();
        throw RunError::OutOfMemory("write the output");
    } catch (...) {
        removeFolder();
        throw;
    }
    try {
        write(*output);
    } catch (const std::bad_alloc&) {
        throw RunError::OutOfMemory("write the output").KeepingOutputIn(folder);
    }
    return folder;
}

} // namespace quillery
