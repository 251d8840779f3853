# Third-party libraries. On Linux they come from the system; for the Windows cross build
# scripts/setup.sh unpacks the Debian source packages into build/deps/ and we compile them here.

set(UPDATER_DEPS_DIR "${PROJECT_SOURCE_DIR}/build/deps" CACHE PATH "Unpacked third-party sources")

function(updater_find_source_dir out_var pattern)
  file(GLOB dirs LIST_DIRECTORIES true "${UPDATER_DEPS_DIR}/${pattern}")
  list(FILTER dirs EXCLUDE REGEX "\\.(tar|dsc|gz|xz|bz2)")
  if(NOT dirs)
    message(FATAL_ERROR "No ${pattern} in ${UPDATER_DEPS_DIR}; run scripts/setup.sh first")
  endif()
  list(GET dirs 0 dir)
  set(${out_var} ${dir} PARENT_SCOPE)
endfunction()

if(WIN32)
  updater_find_source_dir(bzip2_src "bzip2-*")
  add_library(updater_bzip2 STATIC
    ${bzip2_src}/blocksort.c ${bzip2_src}/huffman.c ${bzip2_src}/crctable.c
    ${bzip2_src}/randtable.c ${bzip2_src}/compress.c ${bzip2_src}/decompress.c
    ${bzip2_src}/bzlib.c)
  target_include_directories(updater_bzip2 SYSTEM PUBLIC ${bzip2_src})

  updater_find_source_dir(tinyxml2_src "tinyxml2-*")
  add_library(updater_tinyxml2 STATIC ${tinyxml2_src}/tinyxml2.cpp)
  target_include_directories(updater_tinyxml2 SYSTEM PUBLIC ${tinyxml2_src})

  # Digests go through the platform's CNG (BCrypt).
  add_library(updater_crypto INTERFACE)
  target_link_libraries(updater_crypto INTERFACE bcrypt)
else()
  find_package(BZip2 REQUIRED)
  add_library(updater_bzip2 INTERFACE)
  target_link_libraries(updater_bzip2 INTERFACE BZip2::BZip2)

  find_path(TINYXML2_INCLUDE_DIR tinyxml2.h REQUIRED)
  find_library(TINYXML2_LIBRARY tinyxml2 REQUIRED)
  add_library(updater_tinyxml2 INTERFACE)
  target_include_directories(updater_tinyxml2 INTERFACE ${TINYXML2_INCLUDE_DIR})
  target_link_libraries(updater_tinyxml2 INTERFACE ${TINYXML2_LIBRARY})

  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  add_library(updater_crypto INTERFACE)
  target_link_libraries(updater_crypto INTERFACE OpenSSL::Crypto)
endif()

# GoogleTest from its Debian source package builds for both targets alike.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
