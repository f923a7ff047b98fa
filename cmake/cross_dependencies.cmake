# What a cross build takes from the build machine without its /usr/include:
# the header-only libraries (CLI11, RapidJSON, xxHash), copied on their own,
# and GoogleTest built from source.
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

find_path(QUILLERY_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH REQUIRED)
set(QUILLERY_CLI11_COPY ${CMAKE_BINARY_DIR}/third_party/cli11)
file(COPY ${QUILLERY_CLI11_INCLUDE}/CLI DESTINATION ${QUILLERY_CLI11_COPY}/include)
file(WRITE ${QUILLERY_CLI11_COPY}/CLI11Config.cmake
  "if(NOT TARGET CLI11::CLI11)\n"
  "  add_library(CLI11::CLI11 INTERFACE IMPORTED)\n"
  "  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${QUILLERY_CLI11_COPY}/include\")\n"
  "endif()\n")
set(CLI11_DIR ${QUILLERY_CLI11_COPY} CACHE PATH "CLI11's headers, copied for the cross build" FORCE)

find_path(QUILLERY_RAPIDJSON_INCLUDE rapidjson/rapidjson.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH REQUIRED)
find_path(QUILLERY_XXHASH_INCLUDE xxhash.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH REQUIRED)
set(QUILLERY_HEADERS_COPY ${CMAKE_BINARY_DIR}/third_party/headers)
file(COPY ${QUILLERY_RAPIDJSON_INCLUDE}/rapidjson DESTINATION ${QUILLERY_HEADERS_COPY})
file(COPY ${QUILLERY_XXHASH_INCLUDE}/xxhash.h DESTINATION ${QUILLERY_HEADERS_COPY})
include_directories(SYSTEM ${QUILLERY_HEADERS_COPY})

set(QUILLERY_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources for a cross build")
