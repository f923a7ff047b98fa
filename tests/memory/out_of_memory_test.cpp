#include "memory/allocation_limit.h"

#include "extract/clip_store.h"
#include "extract/run_error.h"
#include "output/run_extraction.h"
#include "util/path_text.h"

#include "support/fake_front_end.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

std::string KindleFile(int entries)
{
    std::string file;
    for (int i = 1; i <= entries; ++i) {
        file += "Book " + std::to_string(i % 7) + "\r\n- Your Highlight on Location " + std::to_string(i * 3) +
                " | Added on Monday, 1 January 2024 12:00:00\r\n\r\n" + std::string(40 + i % 50, 'a') +
                "\r\n==========\r\n";
    }
    return file;
}

// Every budget from a few bytes up to what the whole run needs: the run either
// succeeds or fails with a message that names the file or the output, and a
// run that fails before writing leaves nothing behind.
TEST(OutOfMemory, EveryBudgetEndsInTheOutputOrAMessageThatSaysWhere)
{
    struct Case {
        const char* name;
        const char* file;
        std::string bytes;
        OutputFormat format;
    };
    const Case cases[] = {
        {"kindle, classic", "My Clippings.txt", KindleFile(400), OutputFormat::classic},
        {"kindle, json", "My Clippings.txt", KindleFile(400), OutputFormat::json},
        {"duokan", "book.dkx",
         "<BookName>B</BookName><ReadingDataItem><Type>DIGEST</Type><BeginPos><AtomIndex>4</AtomIndex></BeginPos>"
         "<BookContent>" +
             std::string(3000, 'x') + "</BookContent></ReadingDataItem>",
         OutputFormat::classic},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path input = dir.Write(c.file, c.bytes);
        int failures = 0;
        bool succeeded = false;
        for (std::int64_t budget = 64; !succeeded && budget < (std::int64_t{1} << 28); budget += budget / 4) {
            const fs::path base = dir.path() / ("out-" + std::to_string(budget));
            fs::create_directory(base);
            FakeFrontEnd frontEnd(FromFsPath(input));
            RunRequest request = frontEnd.request(FromFsPath(base));
            request.format = c.format;
            request.clean = c.format != OutputFormat::classic;
            std::string message;
            try {
                ClipStore store;
                const AllocationLimit limit(budget);
                RunExtraction(request, store, frontEnd);
                succeeded = true;
            } catch (const RunError& error) {
                message = error.what();
            } catch (const std::bad_alloc&) {
                message = "a lack of memory that no part of the run words, with " + std::to_string(budget) + " bytes";
            }
            if (succeeded) {
                break;
            }
            ++failures;
            ASSERT_TRUE(message.starts_with("not enough memory to ")) << message;
            const bool writing = message.starts_with("not enough memory to write the output");
            ASSERT_TRUE(writing || message.find(input.string()) != std::string::npos) << message;
            if (!writing) {
                EXPECT_TRUE(fs::is_empty(base)) << message;
            }
        }
        EXPECT_TRUE(succeeded);
        EXPECT_GT(failures, 10);
    }
}

} // namespace
} // namespace quillery::test
