#pragma once

#include <array>
#include <string_view>

namespace quillery {

// A set of bytes, asked about one byte at a time in one step: for scans that
// look at every byte of a text, where a search of the set's characters per
// byte would cost a call each.
class ByteSet {
  public:
    constexpr explicit ByteSet(std::string_view bytes)
    {
        for (const char c : bytes) {
            members_[static_cast<unsigned char>(c)] = true;
        }
    }

    [[nodiscard]] constexpr bool Contains(char c) const { return members_[static_cast<unsigned char>(c)]; }

  private:
    std::array<bool, 256> members_{};
};

} // namespace quillery
