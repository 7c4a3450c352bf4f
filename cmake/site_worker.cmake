# Writes the site's service worker (IN to OUT) with @VALE_FILES@ replaced by
# the names of the files it keeps (FILES, split by |), @VALE_SIZES@ and
# @VALE_DIGESTS@ by their sizes and SHA-256 digests (the worker keeps a file
# only as the build made it), and @VALE_BUILD@ by the build's name, a digest
# of their content, so that any change to any of them is a new build.
string(REPLACE "|" ";" files "${FILES}")
set(digests "")
set(names "")
set(sizes "")
foreach(file IN LISTS files)
  file(SHA256 ${file} digest)
  file(SIZE ${file} size)
  list(APPEND digests ${digest})
  list(APPEND sizes ${size})
  get_filename_component(name ${file} NAME)
  list(APPEND names ${name})
endforeach()
string(SHA256 build "${digests}")
string(SUBSTRING ${build} 0 16 build)
list(JOIN names " " names)
list(JOIN sizes " " sizes)
list(JOIN digests " " digests)
file(READ ${IN} text)
string(REPLACE "@VALE_BUILD@" ${build} text "${text}")
string(REPLACE "@VALE_FILES@" "${names}" text "${text}")
string(REPLACE "@VALE_SIZES@" "${sizes}" text "${text}")
string(REPLACE "@VALE_DIGESTS@" "${digests}" text "${text}")
file(WRITE ${OUT} "${text}")
