# Writes the site's service worker (IN to OUT) with @VALE_BUILD@ replaced by
# the build's name: a digest of the files it keeps (FILES, split by |), so
# that any change to any of them is a new build.
string(REPLACE "|" ";" files "${FILES}")
set(digests "")
foreach(file IN LISTS files)
  file(SHA256 ${file} digest)
  string(APPEND digests ${digest})
endforeach()
string(SHA256 build "${digests}")
string(SUBSTRING ${build} 0 16 build)
file(READ ${IN} text)
string(REPLACE "@VALE_BUILD@" ${build} text "${text}")
file(WRITE ${OUT} "${text}")
