# What a cross build (cmake/mingw-w64-x86_64.cmake) takes from the build machine, and how its
# programs run there.

# nlohmann-json and CLI11 are headers only: the build machine's copies serve, without the rest of
# its /usr/include (which would hide the target's C library headers). A package configuration
# in the build folder points find_package at a copy of just these headers.
set(vmk_cross_deps ${CMAKE_BINARY_DIR}/cross-deps)
function(vmk_cross_headers package target header)
  cmake_path(GET header PARENT_PATH folder)
  find_path(include_dir ${header} NO_CMAKE_FIND_ROOT_PATH REQUIRED NO_CACHE)
  find_file(version_file ${package}ConfigVersion.cmake
            PATH_SUFFIXES share/cmake/${package} lib/cmake/${package}
            NO_CMAKE_FIND_ROOT_PATH REQUIRED NO_CACHE)
  file(COPY ${include_dir}/${folder} DESTINATION ${vmk_cross_deps}/include)
  file(COPY ${version_file} DESTINATION ${vmk_cross_deps}/${package})
  file(WRITE ${vmk_cross_deps}/${package}/${package}Config.cmake
"if(NOT TARGET ${target})
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES \"${vmk_cross_deps}/include\")
endif()
")
  set(${package}_DIR ${vmk_cross_deps}/${package} CACHE PATH "${package} for the target" FORCE)
endfunction()
vmk_cross_headers(nlohmann_json nlohmann_json::nlohmann_json nlohmann/json.hpp)
vmk_cross_headers(CLI11 CLI11::CLI11 CLI/CLI.hpp)

# Boost's headers (the met layer's Boost.Math) likewise: a folder of the build that holds only
# a link to the build machine's boost/ folder, and a package configuration of its own.
find_path(VMK_BOOST_INCLUDE boost/math/distributions/fisher_f.hpp NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
# Whatever version the build machine has: the first Boost-<version> package folder found.
file(GLOB vmk_boost_version_files
     /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/cmake/Boost-*/BoostConfigVersion.cmake
     /usr/lib/*/cmake/Boost-*/BoostConfigVersion.cmake /usr/lib/cmake/Boost-*/BoostConfigVersion.cmake)
if(NOT vmk_boost_version_files)
  message(FATAL_ERROR "Boost's package configuration (libboost-dev) is not installed")
endif()
list(GET vmk_boost_version_files 0 VMK_BOOST_VERSION_FILE)
file(MAKE_DIRECTORY ${vmk_cross_deps}/boost-include)
file(CREATE_LINK ${VMK_BOOST_INCLUDE}/boost ${vmk_cross_deps}/boost-include/boost SYMBOLIC)
file(COPY ${VMK_BOOST_VERSION_FILE} DESTINATION ${vmk_cross_deps}/Boost)
file(WRITE ${vmk_cross_deps}/Boost/BoostConfig.cmake
"if(NOT TARGET Boost::headers)
  add_library(Boost::headers INTERFACE IMPORTED)
  set_target_properties(Boost::headers PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES \"${vmk_cross_deps}/boost-include\")
endif()
")
set(Boost_DIR ${vmk_cross_deps}/Boost CACHE PATH "Boost's headers for the target" FORCE)

# GoogleTest from its source (Debian's googletest package), compiled by the cross compiler.
set(VMK_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest source for the tests")

# The tests run under wine, in a wine prefix of this build folder (scripts/wine-run.sh makes
# it on first use): no display, no debug output.
if(WIN32 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
endif()
