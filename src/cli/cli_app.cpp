#include "cli/cli_app.h"

#include "cli/cli_front_end.h"
#include "extract/clip_store.h"
#include "extract/find_device.h"
#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/book_file_name.h"
#include "output/run_extraction.h"
#include "output/save_export.h"
#include "output/special_folder.h"
#include "util/path_text.h"
#include "util/text.h"
#include "util/text_encoding.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace quillery {

namespace {

constexpr const char* kProgramName = "quillery-cli";

// What the command line asks for.
struct CliRequest {
    ExtractOptions options;
    std::string file;
    std::optional<std::string> outputDir;
    std::string encoding{EncodingName(kDefaultEncoding)};
    std::string format{FormatName(OutputFormat::classic)};
    std::optional<bool> clean;
    std::string namePattern;
    bool quiet = false;
};

// Lays out the help like the usage line it documents: "--x | --no-x" for a
// pair of flags, no "{false}" markers and no value type for FILE.
class UsageFormatter : public CLI::Formatter {
  public:
    std::string make_option_name(const CLI::Option* opt, bool positional) const override
    {
        if (positional) {
            return opt->get_name(true, false);
        }
        std::string name = opt->get_name(false, true);
        const bool pair = name.find("{false}") != std::string::npos;
        name = CLI::detail::find_and_replace(name, "{false}", "");
        return CLI::detail::find_and_replace(name, ",", pair ? " | " : ", ");
    }

    std::string make_option_opts(const CLI::Option* opt) const override
    {
        if (opt->get_positional() || opt->get_type_size() == 0) {
            return {};
        }
        return " " + opt->get_type_name();
    }
};

void DefineOptions(CLI::App& app, CliRequest& request)
{
    auto formatter = std::make_shared<UsageFormatter>();
    formatter->column_width(42);
    app.formatter(formatter);
    // "/x" is a path, never an option, on Windows too.
    app.allow_windows_style_options(false);
    app.set_help_flag("-h,--help", "print this help and exit");
    app.footer("Writes a new \"My Clippings\" folder (numbered when the name is taken) with one text file per\n"
               "book and the page all.htm, and prints its path. Exit status: 0 written, 1 the run failed,\n"
               "2 a usage error.");

    ExtractOptions& o = request.options;
    app.add_flag("--highlights,!--no-highlights", o.highlights, "keep highlights (default on)");
    app.add_flag("--notes,!--no-notes", o.notes, "keep notes (default on)");
    app.add_flag("--bookmarks,!--no-bookmarks", o.bookmarks, "keep bookmarks (default off)");
    app.add_flag("--sort,!--no-sort", o.sort, "order each book's entries by location (default on)");
    app.add_flag("--keep-locations,!--no-keep-locations", o.keeplocs,
                 "mark highlights and notes with @location, not an ellipsis (default off)");
    app.add_flag("--fix-ansi,!--no-fix-ansi", o.fixANSI,
                 "repair the common UTF-8 characters read as Windows-1252 (default on)");
    app.add_option("--encoding", request.encoding,
                   "read the input and write the output in this encoding (default utf-8)")
        ->check(CLI::Validator(
            [](const std::string& name) {
                return EncodingNamed(name) ? std::string() : "\"" + name + "\" is neither utf-8 nor windows-1252";
            },
            ""))
        ->type_name("utf-8|windows-1252");
    app.add_option("--format", request.format,
                   "what to write: the classic book files and all.htm, or one of the formats other tools read "
                   "(always UTF-8; default classic)")
        ->check(CLI::Validator(
            [](const std::string& name) {
                const std::optional<OutputFormat> format = FormatNamed(name);
                if (!format) {
                    return "\"" + name + "\" is no format: " + BuiltFormatNames(", ", " or ");
                }
                return FormatBuilt(*format) ? std::string() : "this build has no " + name + " format";
            },
            ""))
        ->type_name(BuiltFormatNames("|", "|"));
    app.add_flag_function(
        "--clean,!--no-clean", [&request](std::int64_t count) { request.clean = count > 0; },
        "merge duplicates and edited highlights, attach notes, drop clipping-limit placeholders (default: "
        "on, except for classic)");
    app.add_option("--name", request.namePattern,
                   "name the book files after {title}, {authors} and {title_line} (default: the title line, {title} "
                   "for markdown)")
        ->type_name("PATTERN")
        ->check([](const std::string& pattern) { return NamePatternProblem(pattern); });
    app.add_option("-o,--output-dir", request.outputDir,
                   "base folder that \"My Clippings\" is made in (default: the desktop)")
        ->type_name("DIR");
    app.add_flag("-q,--quiet", request.quiet, "no progress");
    app.set_version_flag("--version", std::string(kProgramName) + " " + QUILLERY_VERSION, "print the version and exit");
    app.add_option("FILE", request.file,
                   "a Kindle \"My Clippings.txt\", a Duokan file ending in .dkx, or an e-reader's folder\n"
                   "(default: the one connected e-reader's \"documents/My Clippings.txt\")");
}

// The base folder must exist: the run makes only "My Clippings" inside it.
std::u16string BaseFolder(const CliRequest& request)
{
    if (!request.outputDir) {
        return DefaultBaseFolder();
    }
    std::u16string dir = FromUtf8(*request.outputDir);
    std::error_code error;
    const auto status = std::filesystem::status(ToFsPath(dir), error);
    if (error) {
        throw RunError("cannot use the output folder", dir, error.message());
    }
    if (!std::filesystem::is_directory(status)) {
        throw RunError("cannot use the output folder", dir, "not a folder");
    }
    return dir;
}

// The file the run reads: FILE, or the clippings file of the folder it
// names, which is then said on standard error.
std::u16string InputFile(const CliRequest& request, const CliStreams& streams)
{
    const std::u16string given = FromUtf8(request.file);
    std::u16string file = ResolveInputPath(given);
    if (file != given) {
        streams.err << kProgramName << ": reading " << ToUtf8(file) << '\n' << std::flush;
    }
    return file;
}

// Without FILE, the run reads the one connected e-reader's clippings file;
// none or several is a usage error that says where it looked or what it found.
bool TakeDeviceFile(CliRequest& request, const DeviceSearchPlaces& places, const CliStreams& streams)
{
    const std::vector<std::u16string> found = FindDeviceClippings(places);
    if (found.size() == 1) {
        request.file = ToUtf8(found.front());
        streams.err << kProgramName << ": reading " << request.file << '\n' << std::flush;
        return true;
    }
    if (found.empty()) {
        streams.err << kProgramName << ": no FILE given and no e-reader found (" << SearchedPlacesText(places) << ")\n";
    } else {
        streams.err << kProgramName << ": no FILE given and " << found.size() << " e-readers found; name one:\n";
        for (const std::u16string& file : found) {
            streams.err << "  " << ToUtf8(file) << '\n';
        }
    }
    streams.err << std::flush;
    return false;
}

int Extract(const CliRequest& request, const CliStreams& streams)
{
    CliFrontEnd frontEnd(request.options, streams.err, streams.errIsTerminal && !request.quiet);
    try {
        const OutputFormat format = FormatNamed(request.format).value_or(OutputFormat::classic);
        const RunRequest run{InputFile(request, streams),
                             EncodingNamed(request.encoding).value_or(kDefaultEncoding),
                             BaseFolder(request),
                             format,
                             request.clean.value_or(format != OutputFormat::classic),
                             request.namePattern};
        ClipStore store;
        const RunOutcome outcome = RunExtraction(run, store, frontEnd);
        frontEnd.EndStatusLine();
        if (!outcome.warning.empty()) {
            streams.err << kProgramName << ": warning: " << outcome.warning << '\n' << std::flush;
        }
        if (!request.quiet) {
            streams.err << kProgramName << ": " << OutcomeLine(outcome) << '\n' << std::flush;
        }
        streams.out << ToUtf8(outcome.folder) << '\n' << std::flush;
        return kExitSuccess;
    } catch (...) {
        frontEnd.EndStatusLine();
        streams.err << kProgramName << ": " << CurrentFailureMessage() << '\n' << std::flush;
        return kExitRunFailed;
    }
}

} // namespace

int RunCli(int argc, const char* const* argv, const CliStreams& streams)
{
    return RunCli(argc, argv, streams, SessionSearchPlaces());
}

int RunCli(int argc, const char* const* argv, const CliStreams& streams, const DeviceSearchPlaces& places)
{
    CLI::App app("", kProgramName);
    CliRequest request;
    DefineOptions(app, request);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        streams.out << app.help() << std::flush;
        return kExitSuccess;
    } catch (const CLI::CallForVersion& e) {
        streams.out << e.what() << '\n' << std::flush;
        return kExitSuccess;
    } catch (const CLI::ParseError& e) {
        streams.err << kProgramName << ": " << EscapeControls(e.what()) << "\n\n" << app.help() << std::flush;
        return kExitUsage;
    }
    if (request.file.empty() && !TakeDeviceFile(request, places, streams)) {
        return kExitUsage;
    }
    return Extract(request, streams);
}

} // namespace quillery
