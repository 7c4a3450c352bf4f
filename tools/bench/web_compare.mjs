// Two builds of the site against each other, as web_bench.mjs measures the
// game: ROUNDS (6) interleaved rounds of 4 s of play each, the order turning
// each round, the main-thread task and script time per frame drawn of each
// (the DevTools protocol's Performance metrics, in the thread's CPU time)
// and their ratio within each round; prints the medians and the ratio's
// range. For a change to the page or the GL layer, measured on the same
// machine at the same time as what it changes:
//   node web_compare.mjs SITE_A SITE_B [ROUNDS]
import {launch, presented, serve, turn, walking} from '../web_site.mjs';

const [a, b, roundsArg] = process.argv.slice(2);
const rounds = Number(roundsArg || 6);
const sites = [await serve(a), await serve(b)];
const browser = await launch();

async function play({url}) {
  const page = await walking(browser, url);
  const seen = await presented(page, 4, {turn, count: 'ValePage.frames'});
  await page.close();
  return seen;
}

const runs = [[], []];
for (let round = 0; round < rounds; round++) {
  for (const i of round % 2 ? [1, 0] : [0, 1]) runs[i].push(await play(sites[i]));
  const [x, y] = runs.map((r) => r[round]);
  console.log(`round ${round + 1}: A task ${x.task.toFixed(2)} ms (script ${x.script.toFixed(2)}), ` +
              `B task ${y.task.toFixed(2)} ms (script ${y.script.toFixed(2)}), B / A ${(y.task / x.task).toFixed(3)}`);
}
await browser.close();
sites.forEach(({server}) => server.close());

const median = (v) => {
  const s = [...v].sort((p, q) => p - q), h = s.length >> 1;
  return s.length % 2 ? s[h] : (s[h - 1] + s[h]) / 2;
};
const ratios = runs[0].map((x, i) => runs[1][i].task / x.task);
const of = (i, key) => median(runs[i].map((r) => r[key])).toFixed(2);
console.log(`task a frame: A ${of(0, 'task')} ms, B ${of(1, 'task')} ms; script: A ${of(0, 'script')} ms, B ${of(1, 'script')} ms`);
console.log(`B / A, task: ${median(ratios).toFixed(3)} (${Math.min(...ratios).toFixed(3)} .. ${Math.max(...ratios).toFixed(3)})`);
