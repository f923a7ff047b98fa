#include "app/run_summary.h"

#include "extract/clip_store.h"

namespace quillery {

namespace {

QString Counted(std::int32_t count, const char* one, const char* many)
{
    return QString::number(count) + u' ' + QString::fromLatin1(count == 1 ? one : many);
}

} // namespace

QString RunSummaryLine(const ClipStore& store, const std::u16string& folder)
{
    return Counted(store.entryCount(), "entry", "entries") + QStringLiteral(" of ") +
           Counted(store.bookCount(), "book", "books") + QStringLiteral(" written to \"") +
           QString::fromStdU16String(folder) + u'"';
}

} // namespace quillery
