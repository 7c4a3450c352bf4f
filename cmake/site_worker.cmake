# Writes the site's service worker (IN to OUT) with @VALE_FILES@ replaced by
# the names of the files it keeps (FILES, split by |) and @VALE_BUILD@ by
# the build's name, a digest of their content, so that any change to any of
# them is a new build.
string(REPLACE "|" ";" files "${FILES}")
set(digests "")
set(names "")
foreach(file IN LISTS files)
  file(SHA256 ${file} digest)
  string(APPEND digests ${digest})
  get_filename_component(name ${file} NAME)
  list(APPEND names ${name})
endforeach()
list(JOIN names " " names)
string(SHA256 build "${digests}")
string(SUBSTRING ${build} 0 16 build)
file(READ ${IN} text)
string(REPLACE "@VALE_BUILD@" ${build} text "${text}")
string(REPLACE "@VALE_FILES@" "${names}" text "${text}")
file(WRITE ${OUT} "${text}")
