# The browser build: Debian's Emscripten, WebAssembly run by node at build
# and test time (the CMAKE_CROSSCOMPILING_EMULATOR its toolchain sets).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# Debian's emcc finds its JavaScript tools (acorn) in Debian's node module
# folder, which another node does not search by itself.
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
# node runs the generator and the unit tests. Its own fetch() would take the
# WebAssembly file's path for an address, so the module reads it as a file.
find_program(NODE_JS_EXECUTABLE NAMES nodejs node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${NODE_JS_EXECUTABLE} --no-experimental-fetch CACHE STRING "" FORCE)
