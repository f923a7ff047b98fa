#include "output/run_extraction.h"

#include "extract/front_end.h"
#include "extract/run_driver.h"
#include "output/save_clippings.h"

#include <utility>

namespace quillery {

RunOutcome RunExtraction(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
{
    std::string warning = ReadAndSort(request, store, frontEnd);
    return {SaveClippings(store, request, frontEnd), std::move(warning)};
}

} // namespace quillery
