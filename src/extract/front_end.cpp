#include "extract/front_end.h"

namespace quillery {

std::u16string_view PhaseCaption(RunPhase phase)
{
    return phase == RunPhase::sorting ? u"Sorting.." : u"Saving..";
}

} // namespace quillery
