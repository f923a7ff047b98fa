#include "extract/show_progress.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "util/text.h"

namespace quillery {

namespace {

void AppendCaption(std::u16string& caption, const ClipStore& store)
{
    AppendDecimal(caption, store.entryCount());
    caption += u" entries in ";
    AppendDecimal(caption, store.bookCount());
    caption += u" ebooks";
}

} // namespace

std::u16string ProgressCaption(const ClipStore& store)
{
    std::u16string caption;
    AppendCaption(caption, store);
    return caption;
}

void ShowProgress(FrontEnd& frontEnd, const ClipStore& store)
{
    // Built for every stored entry: one buffer reused keeps that cheap.
    thread_local std::u16string caption;
    caption.clear();
    AppendCaption(caption, store);
    frontEnd.SetCaption(caption);
    frontEnd.Yield();
}

} // namespace quillery
