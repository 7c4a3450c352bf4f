// The browser build's frame rate as a person at the page sees it: the
// frames the browser presents (the DevTools protocol's screencast, each
// frame acknowledged) while the player walks and the view turns, against a
// plain page that only clears its canvas at every animation frame, both
// as they are and with the page's main thread slowed 4x (a slower phone's);
// over the same seconds the main thread's task and script time per frame
// drawn (the DevTools protocol's Performance metrics); and beside them the
// native program's rate (its log's average) in its default window of
// 1024x768. In interleaved rounds, the order turning each round; each ratio
// is taken within its round, and the median and range are printed, each
// with its goal, with the presented frames' intervals. Then the download's
// size.
//   node web_bench.mjs NATIVE_BUILD_DIR WEB_SITE_DIR [ROUNDS]
// Needs Xvfb and xdotool for the native program, chromium for the page,
// and puppeteer-core (installed by scripts/install-deps.sh).
import {execFileSync, spawn} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {launch, plainPage, presented, serve, turn, walking} from '../web_site.mjs';

const [native, site, roundsArg] = process.argv.slice(2);
const {kWindowTitle} = JSON.parse(fs.readFileSync(path.join(native, 'texts.json'), 'utf8'));  // as the build wrote it
const rounds = Number(roundsArg || 5), seconds = 4;
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
    try { window = x('search', '--name', `^${kWindowTitle}$`).split('\n')[0]; } catch (e) {}
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

// The game walking and turning, or the plain page: frames presented a
// second, and their intervals; for the game also the log's average.
async function webRun(kind, throttle) {
  if (kind === 'plain') {
    const page = await browser.newPage();
    await page.setViewport({width: 1200, height: 1000});
    await page.setContent(plainPage);
    const seen = await presented(page, seconds, {throttle, count: 'drawn'});
    await page.close();
    return seen;
  }
  const page = await walking(browser, url);
  const seen = await presented(page, seconds, {turn, throttle, count: 'ValePage.frames'});
  await page.keyboard.up('w');
  await page.keyboard.down('Escape');
  await page.waitForSelector('#end:not([hidden])', {timeout: 20000});
  seen.logged = average(await page.$eval('#log', (e) => e.textContent));
  await page.close();
  return seen;
}

const kinds = {native: () => nativeRun(), game: () => webRun('game', 1), plain: () => webRun('plain', 1),
               'game 4x': () => webRun('game', 4), 'plain 4x': () => webRun('plain', 4)};
const runs = Object.fromEntries(Object.keys(kinds).map((k) => [k, []]));
for (let round = 0; round < rounds; round++) {
  const names = Object.keys(kinds), order = names.slice(round % names.length).concat(names.slice(0, round % names.length));
  for (const name of order) runs[name].push(await kinds[name]());
  const r = (name) => runs[name][round];
  console.log(`round ${round + 1}: native ${r('native').toFixed(1)} fps; presented: game ${r('game').rate.toFixed(1)} ` +
              `(drawn ${r('game').logged.toFixed(1)}), plain ${r('plain').rate.toFixed(1)}; slowed 4x: game ` +
              `${r('game 4x').rate.toFixed(1)} (drawn ${r('game 4x').logged.toFixed(1)}), plain ${r('plain 4x').rate.toFixed(1)}; ` +
              `main thread a frame: game ${r('game').task.toFixed(2)} ms (script ${r('game').script.toFixed(2)}), ` +
              `plain ${r('plain').task.toFixed(2)} ms (script ${r('plain').script.toFixed(2)})`);
}
await browser.close();
server.close();
xvfb.kill();

// A goal: [least, most], either open; told with "met" or "not met" for the median.
const goal = ([least, most], median, unit) => least === undefined && most === undefined ? '' :
  `   (goal: ${least === undefined ? `${most}${unit} or less` : `${least}${unit} or more`}: ` +
  `${median >= (least ?? -Infinity) && median <= (most ?? Infinity) ? 'met' : 'not met'})`;
const sorted = (values) => [...values].sort((a, b) => a - b);
const row = (name, values, digits, unit, bounds = []) => {
  const v = sorted(values), median = v[v.length >> 1];
  console.log(`${name.padEnd(34)} ${median.toFixed(digits).padStart(8)}${unit}   ` +
              `(${v[0].toFixed(digits)} .. ${v[v.length - 1].toFixed(digits)})${goal(bounds, median, unit)}`);
};
const field = (name, key) => runs[name].map((r) => r[key]);
const rates = (name) => field(name, 'rate');
const ratios = (a, b, key = 'rate') => runs[a].map((r, i) => r[key] / runs[b][i][key]);
console.log(`${rounds} rounds of ${seconds} s of each, 1024x768, walking and turning; median (lowest .. highest round)`);
row('native program (Xvfb), its log', runs.native, 1, ' fps');
row('game, presented', rates('game'), 1, ' fps');
row('game, drawn (its log)', field('game', 'logged'), 1, ' fps');
row('plain page, presented', rates('plain'), 1, ' fps');
row('game / plain page', ratios('game', 'plain'), 3, '', [0.9]);
row('game slowed 4x, presented', rates('game 4x'), 1, ' fps', [30]);
row('game slowed 4x, drawn (its log)', field('game 4x', 'logged'), 1, ' fps');
row('plain page slowed 4x', rates('plain 4x'), 1, ' fps');
row('game / plain page, slowed 4x', ratios('game 4x', 'plain 4x'), 3, '');
const slowed = ratios('game 4x', 'game'), plainSlowed = ratios('plain 4x', 'plain');
row('game slowed 4x / as it is', slowed, 3, '', [0.9]);
// What the slowing costs a page that does nothing else: where it too loses
// a part of its rate, the machine (its software GPU) sets that part.
row('plain page slowed 4x / as it is', plainSlowed, 3, '');
row('that of the game / the plain page\'s', slowed.map((r, i) => r / plainSlowed[i]), 3, '', [0.9]);
row('game, main-thread task a frame', field('game', 'task'), 2, ' ms');
row('plain page, task a frame', field('plain', 'task'), 2, ' ms');
row('game / plain page, task', ratios('game', 'plain', 'task'), 2, '', [undefined, 2]);
row('game, script a frame', field('game', 'script'), 2, ' ms', [undefined, 1.5]);
row('plain page, script a frame', field('plain', 'script'), 2, ' ms');
for (const name of ['game', 'game 4x']) {
  const v = sorted(runs[name].flatMap((r) => r.intervals));
  console.log(`${(name + ', frame intervals').padEnd(30)} median ${v[v.length >> 1].toFixed(1)} ms, ` +
              `99th percentile ${v[Math.floor(v.length * 0.99)].toFixed(1)} ms, worst ${v[v.length - 1].toFixed(1)} ms`);
}

let total = 0;
for (const name of ['index.html', 'vale.js', 'vale.wasm', 'vale.data']) {
  const bytes = fs.readFileSync(path.join(site, name));
  const packed = zlib.gzipSync(bytes, {level: 9}).length;
  total += packed;
  console.log(`${name.padEnd(12)} ${String(bytes.length).padStart(9)} bytes, ${String(packed).padStart(9)} gzip-compressed`);
}
console.log(`download     ${String(total).padStart(9)} bytes compressed`);
const script = fs.statSync(path.join(site, 'vale.js')).size;
console.log(`vale.js      ${String(script).padStart(9)} bytes${goal([undefined, 60 * 1024], script, ' bytes')}`);
