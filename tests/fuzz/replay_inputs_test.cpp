#include "fuzz/replay_inputs.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillery::fuzz {
namespace {

// A saved corpus as libFuzzer and git leave it: files out of name order,
// a sub-folder, and hidden entries that are no inputs.
class ReplayInputsTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "corpus" / "nested");
        std::filesystem::create_directories(dir.path() / "corpus" / ".git");
        std::filesystem::create_directories(dir.path() / "empty");
        for (const char* name :
             {"corpus/b", "corpus/a", "corpus/nested/c", "corpus/.gitkeep", "corpus/.git/d", "single"}) {
            dir.Write(name, name);
        }
    }

    [[nodiscard]] std::vector<std::string> Relative(const std::vector<std::filesystem::path>& inputs) const
    {
        std::vector<std::string> names;
        names.reserve(inputs.size());
        for (const auto& input : inputs) {
            names.push_back(input.lexically_relative(dir.path()).generic_string());
        }
        return names;
    }

    test::TempDir dir;
};

TEST_F(ReplayInputsTest, ListsEachArgumentsFilesInOrder)
{
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> expected;
    } cases[] = {
        {{"single"}, {"single"}},
        {{"corpus"}, {"corpus/a", "corpus/b", "corpus/nested/c"}},
        {{"corpus/nested", "single"}, {"corpus/nested/c", "single"}},
        {{"single", "corpus/nested"}, {"single", "corpus/nested/c"}},
        {{"empty"}, {}},
        {{}, {}},
        // A hidden file named on its own is still an input.
        {{"corpus/.gitkeep"}, {"corpus/.gitkeep"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        std::vector<std::filesystem::path> arguments;
        for (const auto& argument : c.arguments) {
            arguments.push_back(dir.path() / argument);
        }
        EXPECT_EQ(Relative(ReplayInputs(arguments)), c.expected);
    }
}

TEST_F(ReplayInputsTest, NamesAMissingArgument)
{
    try {
        ReplayInputs({dir.path() / "corpus", dir.path() / "regressions"});
        FAIL() << "a missing folder was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("regressions\" is neither a file nor a folder"), std::string::npos)
            << error.what();
    }
}

} // namespace
} // namespace quillery::fuzz
