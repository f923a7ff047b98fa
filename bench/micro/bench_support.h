#pragma once

// What the micro-benchmarks share: a front end with fixed options, and one
// generated clippings file of 100000 entries over 1000 books, written once per
// process into the temp folder (removed at exit) and read into a store.

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/run_driver.h"
#include "tools/clippings_generator.h"
#include "util/path_text.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

namespace quillery::bench {

// Fixed options, the input path, no captions and nothing to yield to.
class BenchFrontEnd : public FrontEnd {
  public:
    explicit BenchFrontEnd(ExtractOptions options = {}, std::u16string inputPath = {})
        : options_(options), inputPath_(std::move(inputPath))
    {
    }

    void SetCaption(const std::u16string&) override {}
    void EnterPhase(RunPhase) override {}
    bool OptionOn(ExtractOption option) override { return options_.Get(option); }
    void Yield() override {}
    // The byte-per-character path that the recorded numbers measure.
    RunRequest request(std::u16string baseFolder = {}) const
    {
        RunRequest run;
        run.path = inputPath_;
        run.encoding = TextEncoding::windows1252;
        run.baseFolder = std::move(baseFolder);
        return run;
    }

  private:
    ExtractOptions options_;
    std::u16string inputPath_;
};

inline constexpr ClippingsShape kBenchShape{100000, 1000, 20250303};

// A fresh folder under the temp folder, removed with everything in it when
// the object goes.
class BenchFolder {
  public:
    explicit BenchFolder(const std::string& prefix)
    {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        if (!std::filesystem::create_directory(path_)) {
            throw std::runtime_error("cannot create " + path_.string());
        }
    }
    ~BenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The generated clippings file (kBenchShape), made on first use.
class BenchInput {
  public:
    static const BenchInput& Get()
    {
        static const BenchInput input;
        return input;
    }

    std::u16string path() const { return FromFsPath(file_); }
    std::uintmax_t bytes() const { return bytes_; }

  private:
    BenchInput() : folder_("quillery-bench-"), file_(folder_.path() / "My Clippings.txt")
    {
        std::ofstream out(file_, std::ios::binary);
        ClippingsGenerator(kBenchShape).Write(out);
        out.close();
        if (!out) {
            throw std::runtime_error("cannot write " + file_.string());
        }
        bytes_ = std::filesystem::file_size(file_);
    }

    BenchFolder folder_;
    std::filesystem::path file_;
    std::uintmax_t bytes_ = 0;
};

// The generated file read and sorted as a run does, with every kind kept.
inline const ClipStore& BenchStore()
{
    static const ClipStore store = [] {
        ExtractOptions options;
        options.bookmarks = true;
        BenchFrontEnd frontEnd(options, BenchInput::Get().path());
        ClipStore filled;
        ReadAndSort(frontEnd.request(), filled, frontEnd);
        return filled;
    }();
    return store;
}

} // namespace quillery::bench
