// What the browser build's test and benchmark share: the site served from
// the loopback as any static web server serves it, and Debian's chromium,
// headless with its software WebGL, driven by puppeteer-core.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
               '.webmanifest': 'application/manifest+json'};

// Serves the folder; resolves to its address, http://127.0.0.1:PORT/, and
// the server. A file named in `altered` is served as its function makes it
// of the file's bytes (a server cut short or half updated); null drops the
// connection, a number is the status answered instead. Each answer gives
// its length, as static servers do (the page shows progress of the whole by it).
export async function serve(site, altered = {}) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(site, path.normalize(name.endsWith('/') ? name + 'index.html' : name));
    fs.readFile(file, (error, data) => {
      if (!error && altered[path.basename(file)]) data = altered[path.basename(file)](data);
      if (data === null) return request.socket.destroy();
      const status = error ? 404 : typeof data === 'number' ? data : 200;
      response.writeHead(status, {'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                                  'Content-Length': status === 200 ? data.length : 0});
      response.end(status === 200 ? data : undefined);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {url: `http://127.0.0.1:${server.address().port}/`, server};
}

// The browser, its window big enough for the 1024x768 canvas: with
// VALE_BROWSER=firefox Debian's Firefox ESR ($FIREFOX), through WebDriver
// BiDi, on the display it is given (headless, it has no WebGL here); else
// Debian's Chromium ($CHROMIUM), headless, through the DevTools protocol.
export const firefox = process.env.VALE_BROWSER === 'firefox';
export const launch = (...args) => (firefox ? puppeteer.launch({
  browser: 'firefox', executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr', headless: false,
  args: ['--width=1200', '--height=1000'],
  // Sound without a gesture first, as Chromium's autoplay switch gives it.
  extraPrefsFirefox: {'media.autoplay.default': 0, 'media.autoplay.block-webaudio': false},
}) : puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync', '--window-size=1200,1000',
         ...args],
}));

// A plain page that draws a WebGL clear of another colour at every animation
// frame, as big as the game's canvas: the rate the browser presents at best.
// `drawn` counts its frames, as ValePage.frames counts the game's.
export const plainPage = `<!doctype html><body style="margin:0"><canvas width="1024" height="768"></canvas><script>
  const gl = document.querySelector('canvas').getContext('webgl');
  var drawn = 0;
  (function frame() { gl.clearColor((drawn++ % 60) / 60, 0.5, 0.5, 1); gl.clear(gl.COLOR_BUFFER_BIT); requestAnimationFrame(frame); })();
</script>`;

// A new page of the browser, at `url`, past "Click to play" and drawing,
// the player walking forward ('w' held): where the benchmarks measure play.
export async function walking(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({width: 1200, height: 1000});
  await page.goto(url);
  await page.waitForSelector('#start:not([hidden])');
  await page.click('#start');
  await page.waitForFunction(() => ValePage.frames > 10);
  await page.keyboard.down('w');
  return page;
}

// The view turning in the game's page, as the mouse turns it: run at every
// animation frame by presented().
export const turn = () => document.getElementById('canvas').dispatchEvent(new MouseEvent('mousemove', {movementX: 8}));

// The frames the browser presents over `seconds`, counted where a person
// looks: the DevTools protocol's screencast frames, each acknowledged at
// once. While it counts, `turn` (if given) runs in the page at every
// animation frame, and the page's main thread runs `throttle` times slower
// (1: as it is). Resolves to the frames a second, the presented frames'
// intervals in ms, and how many presented frames were the same as the last.
// Given `count`, the page's expression for the frames it has drawn, also to
// the frames drawn meanwhile and the page's main-thread time per drawn
// frame (the DevTools protocol's Performance metrics, in ms): all its
// tasks' (task) and its scripts' (script), counted in the thread's own CPU
// time, so that time spent waiting for a core of a busy machine is not.
export async function presented(page, seconds, {turn, throttle = 1, count} = {}) {
  const cdp = await page.createCDPSession(), times = [];
  const metrics = async () => {
    const {metrics} = await cdp.send('Performance.getMetrics');
    const value = (name) => metrics.find((m) => m.name === name).value * 1000;
    return {drawn: await page.evaluate(count), task: value('TaskDuration'), script: value('ScriptDuration')};
  };
  if (count) await cdp.send('Performance.enable', {timeDomain: 'threadTicks'});
  let last = null, same = 0;
  cdp.on('Page.screencastFrame', ({data, metadata, sessionId}) => {
    cdp.send('Page.screencastFrameAck', {sessionId}).catch(() => {});
    times.push(metadata.timestamp * 1000);
    if (data === last) same++;
    last = data;
  });
  if (turn) await page.evaluate(`(() => { window.turning = true; const f = () => { if (!window.turning) return; (${turn})(); requestAnimationFrame(f); }; f(); })()`);
  await cdp.send('Emulation.setCPUThrottlingRate', {rate: throttle});
  await cdp.send('Page.startScreencast', {format: 'jpeg', quality: 50, maxWidth: 512, maxHeight: 384});
  const before = count && await metrics();
  await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
  const after = count && await metrics();
  await cdp.send('Page.stopScreencast');
  if (turn) await page.evaluate(() => { window.turning = false; });
  await cdp.detach();
  const intervals = times.slice(1).map((t, i) => t - times[i]);
  const seen = {rate: intervals.length / ((times.at(-1) - times[0]) / 1000 || Infinity), frames: times.length, intervals, same};
  if (!count) return seen;
  const drawn = after.drawn - before.drawn;
  return {...seen, drawn, task: (after.task - before.task) / drawn, script: (after.script - before.script) / drawn};
}
