#pragma once

#include <string>

namespace quillery::test {

// Environment variables for tests, the same on every platform.
void SetEnv(const char* name, const std::string& value);
void UnsetEnv(const char* name);

} // namespace quillery::test
