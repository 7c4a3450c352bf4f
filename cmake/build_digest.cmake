# Writes the digests of SITE's vale.wasm and vale.data, and vale.data's
# size, into its vale.js, in place of the words in at signs its pre-js left there.
file(SHA256 ${SITE}/vale.wasm wasm)
file(SHA256 ${SITE}/vale.data data)
file(SIZE ${SITE}/vale.data size)
file(READ ${SITE}/vale.js text)
string(REPLACE "@VALE_WASM_DIGEST@" ${wasm} text "${text}")
string(REPLACE "@VALE_DATA_DIGEST@" ${data} text "${text}")
string(REPLACE "@VALE_DATA_SIZE@" ${size} text "${text}")
file(WRITE ${SITE}/vale.js "${text}")
