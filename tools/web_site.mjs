// What the browser build's test and benchmark share: the site served from
// the loopback as any static web server serves it, and Debian's chromium,
// headless with its software WebGL, driven by puppeteer-core.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png'};

// Serves the folder; resolves to its address, http://127.0.0.1:PORT/, and the server.
export async function serve(site) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(site, path.normalize(name.endsWith('/') ? name + 'index.html' : name));
    fs.readFile(file, (error, data) => {
      response.writeHead(error ? 404 : 200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
      response.end(error ? undefined : data);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {url: `http://127.0.0.1:${server.address().port}/`, server};
}

// The browser ($CHROMIUM, or Debian's), its window big enough for the 1024x768 canvas.
export const launch = (...args) => puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync', '--window-size=1200,1000',
         ...args],
});
