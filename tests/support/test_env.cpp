#include "support/test_env.h"

#include <cstdlib>
#include <stdexcept>

namespace quillery::test {

#ifdef _WIN32
// _putenv_s takes an empty value as "remove the variable".
void SetEnv(const char* name, const std::string& value)
{
    if (_putenv_s(name, value.c_str()) != 0) {
        throw std::runtime_error(std::string("cannot set ") + name);
    }
}

void UnsetEnv(const char* name)
{
    _putenv_s(name, "");
}
#else
void SetEnv(const char* name, const std::string& value)
{
    if (setenv(name, value.c_str(), 1) != 0) {
        throw std::runtime_error(std::string("cannot set ") + name);
    }
}

void UnsetEnv(const char* name)
{
    unsetenv(name);
}
#endif

} // namespace quillery::test
