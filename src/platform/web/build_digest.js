// The SHA-256 digests of the vale.wasm and vale.data this vale.js was built
// with (written in after the link), for the page to compare with the files
// it downloaded: a server half way through an update serves two builds.
Module['built'] = {'vale.wasm': '@VALE_WASM_DIGEST@', 'vale.data': '@VALE_DATA_DIGEST@'};
