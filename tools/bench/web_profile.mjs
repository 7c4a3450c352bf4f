// Where the browser build's main thread spends a frame: the DevTools
// protocol's sampling profiler over SECONDS (5) of play, walking with the
// view turning and the frames presented as the benchmark counts them. Each
// sample's time goes to the function it fell in, and is summed by kind:
// the game's WebAssembly, the GL entry points and their emulation in
// vale.js, the rest of vale.js (the runtime and the page's side), WebGL's
// own calls, other calls into the browser, the garbage collector, the
// browser's own work outside any script, other scripts, and idle; printed
// in ms per frame drawn, with the functions that took the most.
//   node web_profile.mjs WEB_SITE_DIR [SECONDS]
import {launch, presented, serve, turn, walking} from '../web_site.mjs';

const [site, secondsArg] = process.argv.slice(2);
const seconds = Number(secondsArg || 5);
const {url, server} = await serve(site);
const browser = await launch();
const page = await walking(browser, url);

// The names WebGL's calls go by: its context's own functions.
const webgl = new Set(await page.evaluate(() => Object.getOwnPropertyNames(WebGLRenderingContext.prototype)));
const cdp = await page.createCDPSession();
await cdp.send('Profiler.enable');
await cdp.send('Profiler.setSamplingInterval', {interval: 100});
await cdp.send('Profiler.start');
const seen = await presented(page, seconds, {turn, count: 'ValePage.frames'});
const {profile} = await cdp.send('Profiler.stop');
await page.keyboard.up('w');
await browser.close();
server.close();

// The GL layer's functions in vale.js: the entry points, the compiler's
// emulation (GLImmediate, GLEmulation and the like) and the page's own mends.
const glLayer = /^_?(emscripten_)?(gl|GL)|^(Renderer|CTexUnit|CNLNode|mat[34]|vec[34])[._]|^(getRenderer|addRendererComponent|hook_\w+|install|setCap|setColor|transform|normalMatrix|light|sphere|flush|callLists)$/;
const kind = ({functionName: name, url: from}) => {
  if (name === '(garbage collector)') return 'garbage collection';
  if (name === '(program)') return 'the browser, outside scripts';
  if (name === '(idle)' || name === '(root)') return 'idle';
  if (from.includes('.wasm') || from.startsWith('wasm')) return "the game's WebAssembly";
  if (name === 'wasm-to-js' || name === 'js-to-wasm') return 'crossings between WebAssembly and JavaScript';
  if (from.endsWith('vale.js')) return glLayer.test(name) ? 'the GL layer (vale.js)' : 'the rest of vale.js';
  if (!from) return webgl.has(name) ? 'WebGL calls' : 'other calls into the browser';
  return 'other scripts';
};
// Each sample's time is the interval up to the next one.
const nodes = new Map(profile.nodes.map((n) => [n.id, n]));
const byKind = new Map(), byFunction = new Map();
const add = (map, key, ms) => map.set(key, (map.get(key) || 0) + ms);
profile.samples.forEach((id, i) => {
  const ms = (profile.timeDeltas[i + 1] || 0) / 1000, frame = nodes.get(id).callFrame;
  add(byKind, kind(frame), ms);
  add(byFunction, `${frame.functionName || '(anonymous)'} ${frame.url.split('/').pop()}`, ms);
});
const frames = seen.drawn, total = (profile.endTime - profile.startTime) / 1000;
console.log(`${frames} frames drawn in ${(total / 1000).toFixed(1)} s profiled (${seen.rate.toFixed(1)} presented a second); ` +
            `main-thread task ${seen.task.toFixed(2)} ms a frame, script ${seen.script.toFixed(2)} ms (Performance metrics)`);
// Each with its share of the time not idle: on a busy machine the samples
// also count the time the thread waited for a core, the shares less so.
const busy = [...byKind].reduce((sum, [name, ms]) => sum + (name === 'idle' ? 0 : ms), 0);
const print = (map, count) => [...map].sort((a, b) => b[1] - a[1]).slice(0, count)
  .forEach(([name, ms]) => console.log(`${(ms / frames).toFixed(2).padStart(7)} ms a frame ` +
                                       `${/idle/.test(name) ? '      ' : `${(100 * ms / busy).toFixed(0).padStart(4)} %`}  ${name}`));
console.log('by kind, of each frame\'s sampled time:');
print(byKind, Infinity);
console.log('the functions that took the most:');
print(byFunction, 15);
