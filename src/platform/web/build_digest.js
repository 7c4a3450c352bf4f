// The SHA-256 digests of the vale.wasm and vale.data this vale.js was built
// with, and vale.data's size (written in after the link), for the page to
// compare with the files it downloaded: a server half way through an update
// serves two builds, a download may be cut short.
Module['built'] = {'vale.wasm': '@VALE_WASM_DIGEST@', 'vale.data': '@VALE_DATA_DIGEST@', 'dataSize': +'@VALE_DATA_SIZE@'};
