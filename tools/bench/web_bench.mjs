// The browser build's frame rate against the native program's on this
// machine: the same game, its default window of 1024x768, the player
// walking forward, in interleaved rounds (native then browser, the order
// turning each round). Each run's rate is its own log's average (frames
// over the run's time, loading left out); each ratio is taken within its
// round, and the median and range are printed. Then the download's size.
// The page draws at most at the display's rate (60 Hz headless): the browser
// holds a WebGL canvas's frames to it, and lifting that (no vsync, no frame
// rate limit) only made the compositor compete with the game for the cores.
//   node web_bench.mjs NATIVE_BUILD_DIR WEB_SITE_DIR [ROUNDS]
// Needs Xvfb and xdotool for the native program, chromium for the page,
// and puppeteer-core (installed by scripts/install-deps.sh).
import {execFileSync, spawn} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {launch, serve} from '../web_site.mjs';

const [native, site, roundsArg] = process.argv.slice(2);
const rounds = Number(roundsArg || 7), seconds = 4;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const average = (log) => Number(/average: (\d+\.\d+)/.exec(log || '')?.[1] || NaN);

// A private X display for the native program.
const display = `:${400 + (process.pid % 90)}`;
const xvfb = spawn('Xvfb', [display, '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'], {stdio: 'ignore'});
const x = (...args) => execFileSync('xdotool', args, {env: {...process.env, DISPLAY: display}}).toString().trim();
await sleep(1000);

async function nativeRun() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vale-bench-'));
  fs.cpSync(path.join(native, 'data'), path.join(dir, 'data'), {recursive: true});
  fs.rmSync(path.join(dir, 'data', 'fps.txt'), {force: true});
  const program = spawn(path.resolve(native, 'vale'), [], {cwd: dir, stdio: 'ignore', env: {...process.env, DISPLAY: display}});
  let window = '';
  for (let i = 0; i < 100 && !window; i++, await sleep(100)) {
    try { window = x('search', '--name', '^Vale - by Pellam$').split('\n')[0]; } catch (e) {}
  }
  x('windowfocus', window);
  x('keydown', 'w');
  await sleep(seconds * 1000);
  x('keyup', 'w');
  x('keydown', 'Escape');
  await new Promise((resolve) => program.on('exit', resolve));
  x('keyup', 'Escape');
  const log = fs.readFileSync(path.join(dir, 'data', 'fps.txt'), 'utf8');
  fs.rmSync(dir, {recursive: true, force: true});
  return average(log);
}

const {url, server} = await serve(site);
const browser = await launch();

async function webRun() {
  const page = await browser.newPage();
  await page.setViewport({width: 1200, height: 1000});
  await page.goto(url);
  await page.waitForSelector('#start:not([hidden])');
  await page.click('#start');
  await page.keyboard.down('w');
  await sleep(seconds * 1000);
  await page.keyboard.up('w');
  await page.keyboard.down('Escape');
  await page.waitForSelector('#end:not([hidden])', {timeout: 20000});
  const log = await page.$eval('#log', (e) => e.textContent);
  await page.close();
  return average(log);
}

const nativeFps = [], webFps = [], ratios = [];
for (let round = 0; round < rounds; round++) {
  const pair = {};
  for (const kind of round % 2 ? ['web', 'native'] : ['native', 'web']) pair[kind] = kind === 'web' ? await webRun() : await nativeRun();
  nativeFps.push(pair.native);
  webFps.push(pair.web);
  ratios.push(pair.web / pair.native);
  console.log(`round ${round + 1}: native ${pair.native.toFixed(1)} fps, browser ${pair.web.toFixed(1)} fps`);
}
await browser.close();
server.close();
xvfb.kill();

const row = (name, values, digits, unit) => {
  const v = [...values].sort((a, b) => a - b);
  console.log(`${name.padEnd(18)} ${v[v.length >> 1].toFixed(digits).padStart(8)}   (${v[0].toFixed(digits)} .. ${v[v.length - 1].toFixed(digits)})${unit}`);
};
console.log(`${rounds} rounds of ${seconds} s of each, 1024x768, walking; median (lowest .. highest round)`);
row('native (Xvfb)', nativeFps, 1, ' fps');
row('browser', webFps, 1, ' fps');
row('browser / native', ratios, 3, '   (goal: 0.5 or more)');

let total = 0;
for (const name of ['index.html', 'vale.js', 'vale.wasm', 'vale.data']) {
  const bytes = fs.readFileSync(path.join(site, name));
  const packed = zlib.gzipSync(bytes, {level: 9}).length;
  total += packed;
  console.log(`${name.padEnd(12)} ${String(bytes.length).padStart(9)} bytes, ${String(packed).padStart(9)} gzip-compressed`);
}
console.log(`download     ${String(total).padStart(9)} bytes compressed`);
