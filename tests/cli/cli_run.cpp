#include "cli/cli_run.h"

#include "cli/cli_app.h"
#include "support/temp_dir.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

namespace quillery::test {

CliResult RunCliInProcess(const std::vector<std::string>& args, bool errIsTerminal)
{
    std::vector<const char*> argv{"quillery-cli"};
    for (const auto& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    CliResult result;
    result.code = RunCli(static_cast<int>(argv.size()), argv.data(), CliStreams{out, err, errIsTerminal});
    result.out = out.str();
    result.err = err.str();
    return result;
}

namespace {

// Every test of this program sees a home of its own, so a run that falls
// back to the default folder can never reach the real desktop.
class TempHome : public testing::Environment {
  public:
    void SetUp() override
    {
        home_ = std::make_unique<TempDir>();
        test::SetEnv("HOME", home_->path().string());
        test::SetEnv("XDG_CONFIG_HOME", (home_->path() / ".config").string());
    }
    void TearDown() override { home_.reset(); }

  private:
    std::unique_ptr<TempDir> home_;
};

const testing::Environment* const kTempHome = testing::AddGlobalTestEnvironment(new TempHome);

} // namespace

} // namespace quillery::test
