#pragma once

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;

// "<entries> entries in <books> ebooks".
std::u16string ProgressCaption(const ClipStore& store);

// Shows the progress caption and yields to the front end's event loop.
void ShowProgress(FrontEnd& frontEnd, const ClipStore& store);

} // namespace quillery
