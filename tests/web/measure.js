// The web page's numbers on this machine, in one run of a fresh browser:
//   node tests/web/measure.js [SITE_DIR] [--rounds N]   (default build/web/site, 1)
// a first visit's bytes, navigation to the first frame and to Home, the
// page's CPU idle on Home with motion off and on, and for jerks on each axis
// (N rounds of them) the time to the first sample leaving the worklet.
'use strict';
const path = require('path');
const { serve, Browser, jerkLatencies, spread, sleep, waitFor, kG } = require('./driver');

const args = process.argv.slice(2);
const roundsAt = args.indexOf('--rounds');
const kRounds = roundsAt >= 0 ? Math.max(1, Number(args.splice(roundsAt, 2)[1]) || 1) : 1;
const kSite = path.resolve(args[0] || path.join(__dirname, '..', '..', 'build', 'web', 'site'));
const kRest = { x: 0, y: 0, z: kG };  // lying flat, as the browser reads it
// Where to tap, in screen pixels: the page's bar, Home's motion button, a
// slot on the Sounds page, a row of the sound browser and its OK.
const at = { sounds: [240, 586], home: [80, 586], motion: [400, 452], ok: [350, 586] };
const soundsRow = (slot) => [200, 52 + 96 * (slot - 1) + 48];
const listRow = (row) => [240, 52 + 80 * row + 40];
// Long enough apart for each slot's sound (the longest default is 1.7 s) to
// end before the next jerk: a sound's start is where silence turns to sound.
const kJerkGapMs = 2500;
const kCpuSeconds = 10;
const kJerks = [{ x: 0, y: 8.8, z: kG }, { x: 8.8, y: 0, z: kG }, { x: 0, y: -8.8, z: kG }, { x: -8.8, y: 0, z: kG },
  { x: 0, y: 0, z: 2 * kG }];

// The CPU the page's own renderer process used over `seconds` (all its
// threads: the page's, the program's workers, the audio worklet), in % of a
// core. The browser's other processes (its own, the service worker's, an
// empty first tab) are not the page's and are left out.
async function pageCpu(page, seconds) {
  await page.send('Performance.enable');
  const sample = async () => (await page.send('Performance.getMetrics')).metrics
    .find((m) => m.name === 'ProcessTime').value;
  const before = await sample();
  await sleep(seconds * 1000);
  return (((await sample()) - before) / seconds) * 100;
}

async function main() {
  const host = await serve(kSite);
  const browser = await Browser.launch();
  try {
    const page = await browser.newPage({ sensors: kRest });
    await page.goto(host.url);
    await page.evaluate('window.jostlepad.ready.then(() => true)', { timeoutMs: 60000 });
    // Home is the frame after which the screen rests (the splash's bar moves until then).
    await waitFor('the screen to rest on Home', async () => {
      const times = await page.evaluate('jostlepad.frameTimes()');
      return times.length > 1 &&
        (await page.evaluate('performance.now()')) - times[times.length - 1] > 3000;
    }, 30000);
    const frames = await page.evaluate('jostlepad.frameTimes()');
    const bytes = await page.evaluate(`performance.getEntriesByType('navigation').concat(
      performance.getEntriesByType('resource')).reduce((sum, e) => sum + e.transferSize, 0)`);
    console.log(`first visit: ${(bytes / 1048576).toFixed(2)} MB transferred, compressed`);
    console.log(`from navigation: the first frame (splash) at ${Math.round(frames[0])} ms, ` +
      `Home at ${Math.round(frames[frames.length - 1])} ms`);
    console.log(`idle on Home, motion off, before any tap: ${(await pageCpu(page, kCpuSeconds)).toFixed(2)} % of a core`);


    const [left, top, width, height] = await page.evaluate(`(() => {
      const r = document.querySelector('canvas').getBoundingClientRect();
      return [r.left, r.top, r.width, r.height];
    })()`);
    const tap = async ([x, y]) => {
      await page.click(left + ((x + 0.5) * width) / 480, top + ((y + 0.5) * height) / 640);
      await sleep(500);
    };
    // a sound in each slot, then motion on
    await tap(at.sounds);
    for (let slot = 1; slot <= 5; ++slot) {
      await tap(soundsRow(slot));
      await tap(listRow(slot - 1));
      await tap(at.ok);
    }
    await tap(at.home);
    await tap(at.motion);
    await sleep(12000);  // the previews' sounds over, the audio context asleep
    console.log(`idle on Home, motion on, the audio asleep: ${(await pageCpu(page, kCpuSeconds)).toFixed(2)} % of a core`);
    for (const jerk of Array(kRounds).fill(kJerks).flat()) {
      await page.setMotion(jerk);
      await sleep(150);
      await page.setMotion(kRest);
      await sleep(kJerkGapMs);
    }
    const latency = await jerkLatencies(page, kRest);
    const figures = (key) => {
      const list = latency.map((l) => l[key]).sort((a, b) => a - b);
      return list.length ? `${spread(list)} (median ${list[list.length >> 1].toFixed(1)})` : 'none';
    };
    console.log(`${latency.length} of ${kRounds * kJerks.length} jerks to the first sample leaving the worklet: ` +
      `from the reading ${figures('motion')}, from the poll that saw it ${figures('poll')}, ` +
      `from the motor's start ${figures('motor')}`);
    console.log(`idle on Home, motion on, within 10 s of a sound: ${(await pageCpu(page, kCpuSeconds)).toFixed(2)} % of a core`);
    const underruns = await page.evaluate('jostlepad.underruns()');
    console.log(`underruns: ${underruns}`);
  } finally {
    await browser.close();
    await host.stop();
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
