#pragma once

// The "--name value" arguments of the benchmark tools.

#include <cstdint>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>

namespace quillery::bench {

class ToolArgs {
  public:
    // Throws std::invalid_argument for a name without a value or a repeated name.
    ToolArgs(int argc, char** argv)
    {
        for (int i = 1; i < argc; i += 2) {
            const std::string name = argv[i];
            if (name.rfind("--", 0) != 0 || i + 1 >= argc) {
                throw std::invalid_argument("expected --name value, got '" + name + "'");
            }
            if (!values_.emplace(name.substr(2), argv[i + 1]).second) {
                throw std::invalid_argument("'" + name + "' given twice");
            }
        }
    }

    std::string Text(const std::string& name) const
    {
        const auto it = values_.find(name);
        if (it == values_.end()) {
            throw std::invalid_argument("missing --" + name);
        }
        return it->second;
    }

    // The text given, or `fallback` when the argument is absent.
    std::string Text(const std::string& name, const std::string& fallback) const
    {
        return values_.count(name) == 0 ? fallback : Text(name);
    }

    // A whole number in min..max, or `fallback` when the argument is absent.
    std::int64_t Number(const std::string& name, std::int64_t fallback, std::int64_t min = 0,
                        std::int64_t max = INT64_MAX) const
    {
        if (values_.count(name) == 0) {
            return fallback;
        }
        const std::string text = Text(name);
        std::size_t used = 0;
        std::int64_t value = 0;
        try {
            value = std::stoll(text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != text.size() || value < min || value > max) {
            throw std::invalid_argument("--" + name + " needs a whole number in " + std::to_string(min) + ".." +
                                        std::to_string(max) + ", got '" + text + "'");
        }
        return value;
    }

  private:
    std::map<std::string, std::string> values_;
};

} // namespace quillery::bench
