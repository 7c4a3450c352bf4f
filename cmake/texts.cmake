# The window's title and the numbered boxes' texts, written once in
# src/platform/texts.h, for what is not C++: VALE_WINDOW_TITLE for the page,
# and in the build folder texts.sh (bash: kWindowTitle='...' and each box
# as kName=('caption' 'text')) and texts.json ({"kName": ["caption", "text"]})
# for the end-to-end tests, which find them through VALE_TEXTS (the path
# without its extension).
set(VALE_TEXTS_HEADER ${CMAKE_SOURCE_DIR}/src/platform/texts.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VALE_TEXTS_HEADER})
file(STRINGS ${VALE_TEXTS_HEADER} lines REGEX "^constexpr ")
set(VALE_TEXTS ${CMAKE_BINARY_DIR}/texts)
set(sh "# Written by the build from src/platform/texts.h.\n")
set(json)
foreach(line ${lines})
  if(line MATCHES "^constexpr char (k[A-Za-z]+)\\[\\] = \"([^\"']*)\";$")
    set(VALE_WINDOW_TITLE "${CMAKE_MATCH_2}")
    string(APPEND sh "${CMAKE_MATCH_1}='${CMAKE_MATCH_2}'\n")
    list(APPEND json "\"${CMAKE_MATCH_1}\": \"${CMAKE_MATCH_2}\"")
  elseif(line MATCHES "^constexpr Box (k[A-Za-z]+) = {\"([^\"']*)\", \"([^\"']*)\"};$")
    string(APPEND sh "${CMAKE_MATCH_1}=('${CMAKE_MATCH_2}' '${CMAKE_MATCH_3}')\n")
    list(APPEND json "\"${CMAKE_MATCH_1}\": [\"${CMAKE_MATCH_2}\", \"${CMAKE_MATCH_3}\"]")
  else()
    message(FATAL_ERROR "src/platform/texts.h: not an entry of the form this file reads: ${line}")
  endif()
endforeach()
list(JOIN json ",\n  " json)
file(WRITE ${VALE_TEXTS}.sh "${sh}")
file(WRITE ${VALE_TEXTS}.json "{\n  ${json}\n}\n")
