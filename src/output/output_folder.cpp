#include "output/output_folder.h"

#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/fresh_output.h"
#include "util/path_text.h"

#include <filesystem>
#include <new>
#include <system_error>

namespace quillery {

namespace {

bool IsSeparator(char16_t c)
{
    return c == kPathSeparator || c == u'/';
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
    FreshFolder output(WantedFolder(request.baseFolder));
    const std::u16string& folder = output.path();
    frontEnd.EnterPhase(RunPhase::saving);
    try {
        // The last moment the run can be given up: the folder is still empty.
        frontEnd.Yield();
    } catch (const RunAbandoned&) {
        std::error_code ignored;
        std::filesystem::remove(ToFsPath(folder), ignored);
        throw;
    }
    try {
        write(output);
    } catch (const std::bad_alloc&) {
        throw RunError::OutOfMemory("write the output").KeepingOutputIn(folder);
    }
    return folder;
}

} // namespace quillery
