// The web build in headless Chromium, as a person meets it: the same steps
// are given to the headless bench and to the page, and the page must show
// the bench's screens pixel for pixel and sound the same values. The test
// app (web_test_app) is the bench's own test skin and constant-valued packs,
// packaged into the site as ?app=test.
//   JP_WEB_SITE       the built site (tools/build-web.sh)
//   JP_JOSTLEPAD_BIN  the bench; JP_STAGE_DIR its staged folder (default skin)
//   JP_WEB_TEST_APP   the web_test_app tool
'use strict';
const assert = require('assert');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { test, before, after } = require('node:test');
const { serve, Browser, decodePng, decodeWav, constantRuns, jerkLatencies, spread, sleep, waitFor, kG } = require('./driver');

const kSite = process.env.JP_WEB_SITE;
const kBench = process.env.JP_JOSTLEPAD_BIN;
const kStage = process.env.JP_STAGE_DIR;
const kWriter = process.env.JP_WEB_TEST_APP;

// Where to tap on the 480 x 640 screen.
const at = {
  home: [80, 586], sounds: [240, 586], settings: [400, 586], about: [402, 26], back: [240, 586],
  motion: [400, 452], ok: [350, 586], cancel: [130, 586],
  // the top bar between the title and its keys: nothing there answers
  inert: [200, 26],
};
const soundsRow = (slot) => [200, 52 + 96 * (slot - 1) + 48];
const listRow = (row) => [240, 52 + 80 * row + 40];
// The accelerometer at rest, lying flat (the device's units: 1000 = 1 g).
const kRest = [0, 0, -1000];
// Slot 1 top (Y negative), 2 right (X positive), 3 bottom (Y positive), 4 left (X negative), 5 centre (Z).
const kJerks = [[0, -900, -1000], [900, 0, -1000], [0, 900, -1000], [-900, 0, -1000], [0, 0, -2000]];

// Steps both sides run: {tap: [x, y]}, {wait: ms}, {accel: [x, y, z]}, {shot: name}.
const tap = (p) => ({ tap: p });
const wait = (ms) => ({ wait: ms });

// The device's reading as the browser's accelerationIncludingGravity: X right,
// Y toward the screen's bottom, Z into the screen on the device.
function browserReading([x, y, z]) {
  const k = kG / 1000;
  return { x: x * k, y: -y * k, z: -z * k };
}

// Folders of this run, removed at its end.
const temps = [];
function tempDir(tag) {
  temps.push(fs.mkdtempSync(path.join(os.tmpdir(), `jp-web-${tag}-`)));
  return temps[temps.length - 1];
}

// ---- the bench ----

// Runs `steps` on the bench from `appDir` with its hive in `device`:
// {shots: {name: image}, recording, trace: [[ms, event]]}.
function runBench(appDir, device, steps, { initial = kRest } = {}) {
  const dir = tempDir('bench');
  try {
    let script = `accel ${initial.join(' ')}\n`;
    for (const s of steps) {
      if (s.tap) script += `tap ${s.tap[0]} ${s.tap[1]}\n`;
      else if (s.wait) script += `wait ${s.wait}\n`;
      else if (s.accel) script += `accel ${s.accel.join(' ')}\n`;
      else if (s.shot) script += `shot ${path.join(dir, s.shot + '.png')}\n`;
    }
    fs.writeFileSync(path.join(dir, 'script.txt'), script);
    fs.mkdirSync(device, { recursive: true });
    execFileSync(kBench, ['--headless', '--script', path.join(dir, 'script.txt'), '--device', device,
      '--app-dir', appDir, '--audio', `wav:${path.join(dir, 'audio.wav')}`, '--trace', path.join(dir, 'trace.txt')],
    { stdio: ['ignore', 'ignore', 'pipe'], timeout: 120000 });
    const shots = {};
    for (const s of steps) if (s.shot) shots[s.shot] = decodePng(fs.readFileSync(path.join(dir, s.shot + '.png')));
    const trace = fs.readFileSync(path.join(dir, 'trace.txt'), 'utf8').split('\n').filter(Boolean)
      .map((l) => [Number(l.split(' ')[0]), l.slice(l.indexOf(' ') + 1)]);
    return { shots, recording: decodeWav(fs.readFileSync(path.join(dir, 'audio.wav'))), trace };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// ---- the page ----

// FNV-1a over the RGB of rows [top, bottom): the same in the page and here.
const kHashSource = `function (data, width, top, bottom) {
  let h = 0x811c9dc5;
  for (let i = top * width * 4; i < bottom * width * 4; i += 4) {
    h = Math.imul(h ^ data[i], 16777619);
    h = Math.imul(h ^ data[i + 1], 16777619);
    h = Math.imul(h ^ data[i + 2], 16777619);
  }
  return h >>> 0;
}`;
// eslint-disable-next-line no-new-func
const screenHash = new Function(`return ${kHashSource}`)();

class App {
  // A tab on the site with the page's options (`app`, `trace`, `record`, ...),
  // the motion sensor resting, started up to the program's first frame.
  static async open(browser, url, options = {}) {
    const page = await browser.newPage({ sensors: browserReading(kRest) });
    const app = new App(page);
    await app.load(url, options);
    return app;
  }

  constructor(page) {
    this.page = page;
  }

  async load(url, options) {
    const query = Object.entries(options).map(([k, v]) => (v === true ? k : `${k}=${encodeURIComponent(v)}`));
    this.url = url + (query.length ? `?${query.join('&')}` : '');
    await this.page.goto(this.url);
    await this.started();
  }

  async started() {
    try {
      await this.page.evaluate('window.jostlepad.ready.then(() => true)', { timeoutMs: 60000 });
    } catch (e) {
      const note = await this.page.evaluate("document.getElementById('note').textContent", { timeoutMs: 5000 })
        .catch(() => '(no answer)');
      throw new Error(`${e.message}; the page says "${note}"; its console ends ${JSON.stringify(this.page.console.slice(-5))}`);
    }
  }

  async canvasRect() {
    return this.page.evaluate(`(() => {
      const r = document.querySelector('canvas').getBoundingClientRect();
      return [r.left, r.top, r.width, r.height];
    })()`);
  }

  // A tap on the device's pixel (x, y), wherever the page has scaled the screen to.
  async tap([x, y]) {
    const [left, top, width, height] = await this.canvasRect();
    await this.page.click(left + ((x + 0.5) * width) / 480, top + ((y + 0.5) * height) / 640);
  }

  async hash(top = 0, bottom = 640) {
    return this.page.evaluate(`(() => {
      const s = window.jostlepad.screen();
      return s ? (${kHashSource})(s.data, s.width, ${top}, ${bottom}) : null;
    })()`);
  }

  async screen() {
    const b64 = await this.page.evaluate(`(() => {
      const s = window.jostlepad.screen();
      let text = '';
      for (let i = 0; i < s.data.length; i += 0x8000) text += String.fromCharCode.apply(null, s.data.subarray(i, i + 0x8000));
      return btoa(text);
    })()`);
    return { width: 480, height: 640, data: new Uint8Array(Buffer.from(b64, 'base64')) };
  }

  // Waits until the page shows `expected` (rows [top, bottom)); on a timeout
  // fails with what differs.
  async shows(expected, name, { top = 0, bottom = 640, timeoutMs = 10000 } = {}) {
    const want = screenHash(expected.data, expected.width, top, bottom);
    const deadline = Date.now() + timeoutMs;
    while (Date.now() < deadline) {
      if ((await this.hash(top, bottom)) === want) return;
      await sleep(50);
    }
    const seen = await this.screen();
    let count = 0;
    let first = null;
    for (let p = top * 480; p < bottom * 480; ++p) {
      const i = p * 4;
      if (seen.data[i] !== expected.data[i] || seen.data[i + 1] !== expected.data[i + 1] ||
          seen.data[i + 2] !== expected.data[i + 2]) {
        ++count;
        first = first || { x: p % 480, y: Math.floor(p / 480),
          page: Array.from(seen.data.subarray(i, i + 3)), bench: Array.from(expected.data.subarray(i, i + 3)) };
      }
    }
    assert.fail(`${name}: ${count} pixels differ from the bench's shot; first ${JSON.stringify(first)}`);
  }

  // Runs steps the bench ran, each shot waited for until the page shows it.
  async run(steps, bench) {
    for (const s of steps) {
      if (s.tap) await this.tap(s.tap);
      else if (s.wait) await sleep(s.wait);
      else if (s.accel) await this.page.setMotion(browserReading(s.accel));
      else if (s.shot) await this.shows(bench.shots[s.shot], s.shot);
    }
  }

  async recording() {
    const b64 = await this.page.evaluate(`window.jostlepad.recording().then((buffer) => {
      const bytes = new Uint8Array(buffer);
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      return btoa(text);
    })`);
    return decodeWav(Buffer.from(b64, 'base64'));
  }

  // The device's trace lines from the console: [[ms, event]].
  trace() {
    return this.page.console.filter((l) => l.startsWith('trace '))
      .map((l) => l.slice(6)).map((l) => [Number(l.split(' ')[0]), l.slice(l.indexOf(' ') + 1)]);
  }
}

// The sounds heard, in order: each sound of the test packs is one constant
// value, {value, frames}; a sound broken by a gap is two sounds.
function soundsHeard(recording) {
  return constantRuns(recording.samples, Math.round(recording.rate * 0.002))
    .map((r) => ({ value: r.value, frames: r.frames }));
}
const valuesHeard = (recording) => soundsHeard(recording).map((s) => s.value);

// The page heard what the bench did: the same sounds, each whole and as long.
function assertHeardAsBench(page, bench) {
  const text = (list) => list.map((x) => `${x.value} for ${x.frames} frames`).join(', ');
  const heard = soundsHeard(page);
  const expected = soundsHeard(bench);
  assert.deepStrictEqual(heard.map((x) => [x.value, x.frames]), expected.map((x) => [x.value, x.frames]),
    `the page heard ${text(heard)}; the bench ${text(expected)}`);
}


const count = (trace, event) => trace.filter(([, e]) => e === event).length;

// Assigns slot n the sound of list row `row` in the sound browser, from the Sounds page.
const assignSlot = (slot, row) => [tap(soundsRow(slot)), wait(400), tap(listRow(row)), wait(400), tap(at.ok), wait(400)];

// ---- the tests ----

if (!kSite || !kBench || !kWriter) {
  test('the web site in headless Chromium', { skip: 'JP_WEB_SITE, JP_JOSTLEPAD_BIN and JP_WEB_TEST_APP are not all set' },
    () => {});
  return;
}

let host;
let testApp;  // the bench's copy of the site's ?app=test, and the user's own pack beside it
before(async () => {
  testApp = tempDir('app');
  execFileSync(kWriter, [testApp]);
  host = await serve(kSite);
});
after(async () => {
  if (host) await host.stop();
  for (const dir of temps) fs.rmSync(dir, { recursive: true, force: true });
});

// A fresh browser (its own profile, so its own storage) for `body`.
async function withBrowser(body) {
  const browser = await Browser.launch();
  try {
    return await body(browser);
  } finally {
    await browser.close();
  }
}

const kPageWalk = [
  { shot: 'home' }, tap(at.inert), wait(600),
  tap(at.sounds), wait(600), { shot: 'sounds' },
  tap(soundsRow(1)), wait(600), { shot: 'browser' },
  tap(at.cancel), wait(600), { shot: 'sounds again' },
  tap(at.settings), wait(600), { shot: 'settings' },
  tap(at.about), wait(600), { shot: 'about' },
  tap(at.back), wait(600), { shot: 'back' },
  tap(at.home), wait(600), { shot: 'home again' },
];

for (const skin of [{ name: 'default skin', app: null }, { name: 'test skin', app: 'test' }]) {
  test(`${skin.name}: the splash, then Home, then every page a tap away, as on the bench`, async (t) => {
    const appDir = skin.app ? path.join(testApp, 'app') : kStage;
    // The splash's picture is still while its bar fills below it.
    const kSplashRows = 470;
    const bench = runBench(appDir, tempDir('device'), [wait(300), { shot: 'splash' }, wait(2200), ...kPageWalk]);
    await withBrowser(async (browser) => {
      const page = await browser.newPage({ sensors: browserReading(kRest) });
      // When the first frame came, measured in the page from its navigation.
      await page.send('Page.addScriptToEvaluateOnNewDocument', { source: `(() => {
        const poll = setInterval(() => {
          if (!window.jostlepad) return;
          clearInterval(poll);
          window.jostlepad.ready.then(() => { window.jpFirstFrameMs = performance.now(); });
        }, 1);
      })();` });
      const app = new App(page);
      await app.load(host.url, skin.app ? { app: skin.app } : {});
      await app.shows(bench.shots.splash, 'splash', { bottom: kSplashRows, timeoutMs: 5000 });
      const splashMs = await page.evaluate('performance.now()');
      await app.shows(bench.shots.home, 'home', { timeoutMs: 15000 });
      const homeMs = await page.evaluate('performance.now()');
      if (!skin.app) {
        const firstMs = await page.evaluate('window.jpFirstFrameMs');
        const bytes = await page.evaluate(`performance.getEntriesByType('navigation').concat(
          performance.getEntriesByType('resource')).reduce((sum, e) => sum + e.transferSize, 0)`);
        t.diagnostic(`first visit: ${(bytes / 1048576).toFixed(2)} MB transferred (page and its resources)`);
        t.diagnostic(`from navigation: the first frame ${Math.round(firstMs)} ms, the splash seen by ` +
          `${Math.round(splashMs)} ms, Home by ${Math.round(homeMs)} ms (polled every 50 ms)`);
        // The page idle on Home: the CPU of its own renderer and of all the browser's processes over five seconds.
        await page.send('Performance.enable');
        const cpu = async () => {
          const all = (await browser.send('SystemInfo.getProcessInfo')).processInfo;
          const own = (await page.send('Performance.getMetrics')).metrics.find((m) => m.name === 'ProcessTime');
          return [own.value, all.reduce((total, p) => total + p.cpuTime, 0)];
        };
        const before = await cpu();
        await sleep(5000);
        const after = await cpu();
        const percent = (i) => (((after[i] - before[i]) / 5) * 100).toFixed(2);
        t.diagnostic(`idle on Home: ${percent(0)} % of a core in the page's renderer, ${percent(1)} % in all processes`);
      }
      await app.run(kPageWalk, bench);
      assert.deepStrictEqual(page.errors, []);
    });
  });
}

test('previews and a jerk on each axis are heard as on the bench, with the pulse and idle resets in the trace',
  async (t) => {
    const steps = [wait(2500), tap(at.inert), wait(400), tap(at.sounds), wait(400)];
    for (let slot = 1; slot <= 5; ++slot) steps.push(...assignSlot(slot, slot - 1));
    steps.push(tap(at.home), wait(400), tap(at.motion), wait(1000));
    for (const jerk of kJerks) steps.push({ accel: jerk }, wait(150), { accel: kRest }, wait(1000));
    const bench = runBench(path.join(testApp, 'app'), tempDir('device'), steps);
    const benchHeard = valuesHeard(bench.recording);
    // five previews, then the five slots in the jerks' order
    assert.strictEqual(benchHeard.length, 10, `the bench heard ${benchHeard}`);
    assert.deepStrictEqual(benchHeard.slice(5).sort((a, b) => a - b), [1000, 2000, 3000, 4000, 5000]);

    await withBrowser(async (browser) => {
      // Calls of the motor the page makes, seen before the page's own script runs.
      const page = await browser.newPage({ sensors: browserReading(kRest) });
      await page.send('Page.addScriptToEvaluateOnNewDocument', { source: `
        navigator.vibrate = (pattern) => { console.log('navigator.vibrate ' + JSON.stringify(pattern)); return true; };
        if (navigator.wakeLock) {
          const request = navigator.wakeLock.request.bind(navigator.wakeLock);
          navigator.wakeLock.request = (type) => { console.log('wakeLock.request ' + type); return request(type); };
        }` });
      const app = new App(page);
      await app.load(host.url, { app: 'test', trace: true, record: true });
      await app.run(steps.slice(1), bench);  // the page has started already
      await sleep(500);
      assertHeardAsBench(await app.recording(), bench.recording);
      const latency = await jerkLatencies(page, browserReading(kRest));
      t.diagnostic(`${latency.length} jerks to their sound's first sample leaving the worklet: from the reading ` +
        `${spread(latency.map((l) => l.motion))}, from the poll that saw it ${spread(latency.map((l) => l.poll))}, ` +
        `from the motor's start ${spread(latency.map((l) => l.motor))}`);
      const trace = app.trace();
      assert.strictEqual(count(trace, 'vibrate on'), 5, 'one pulse a jerk');
      const motor = page.console.filter((l) => /^navigator\.vibrate (?!0$|\[\]$|\[0\]$)/.test(l));
      assert.ok(motor.length >= 5, `the motor was asked to run ${motor.length} times`);
      // With motion on the idle timer is reset before the new device's 60 s screen timeout.
      const [firstJerk] = trace.find(([, e]) => e === 'vibrate on');
      const reset = await page.waitConsole(/^trace \d+ idle-reset$/, 70000);
      assert.ok(Number(reset.split(' ')[1]) - firstJerk < 60000, reset);
      await page.waitConsole(/^wakeLock\.request screen$/, 5000);
    });
  });

test('as on iOS (no accelerometer of its own, motion behind a permission), the first tap asks for motion, ' +
  'full screen and portrait, and devicemotion jerks the phone', async () => {
  await withBrowser(async (browser) => {
    const page = await browser.newPage({ sensors: browserReading(kRest) });
    await page.send('Page.addScriptToEvaluateOnNewDocument', { source: `
      delete window.Accelerometer;
      DeviceMotionEvent.requestPermission = () => { console.log('motion permission asked'); return Promise.resolve('granted'); };
      Element.prototype.requestFullscreen = function (o) { console.log('full screen ' + JSON.stringify(o)); return Promise.resolve(); };
      if (screen.orientation) screen.orientation.lock = (o) => { console.log('orientation ' + o); return Promise.resolve(); };` });
    const app = new App(page);
    await app.load(host.url, { app: 'test', trace: true });
    await app.run([wait(2500)]);
    assert.ok(!page.console.some((l) => l === 'motion permission asked'), 'asked before any tap');
    await app.run([tap(at.inert), wait(400), tap(at.motion), wait(1000),
      { accel: kJerks[4] }, wait(150), { accel: kRest }, wait(1000)]);
    for (const line of ['motion permission asked', 'full screen {"navigationUI":"hide"}', 'orientation portrait'])
      assert.strictEqual(page.console.filter((l) => l === line).length, 1, `${line}: ${page.console.join(' | ')}`);
    assert.strictEqual(count(app.trace(), 'vibrate on'), 1, 'the jerk was felt');
  });
});

test('settings are kept over a reload and after a hidden page is discarded', async () => {
  const device = tempDir('device');
  const appDir = path.join(testApp, 'app');
  const open = [wait(2500), tap(at.inert), wait(400), tap(at.sounds), wait(400)];
  // Each start shows the Sounds page with what the last one chose, as the bench's do over the same hive.
  const first = runBench(appDir, device, [...open, ...assignSlot(1, 2), { shot: 'chosen' }]);
  const second = runBench(appDir, device, [...open, { shot: 'kept' }, ...assignSlot(2, 4), { shot: 'chosen' }]);
  const third = runBench(appDir, device, [...open, { shot: 'kept' }]);
  assert.notStrictEqual(screenHash(third.shots.kept.data, 480, 0, 640),
    screenHash(second.shots.kept.data, 480, 0, 640), 'the second choice shows');

  await withBrowser(async (browser) => {
    const app = await App.open(browser, host.url, { app: 'test' });
    await app.run(open.slice(1), first);
    await app.run(assignSlot(1, 2), first);
    await app.shows(first.shots.chosen, 'chosen');
    await sleep(500);

    await app.page.reload();
    await app.started();
    await app.run(open, second);
    await app.shows(second.shots.kept, 'kept over a reload');
    await app.run(assignSlot(2, 4), second);
    await app.shows(second.shots.chosen, 'second choice');

    // Hidden, as when a person turns to another app, then discarded by the
    // browser with no further event, as a phone does to a page in the background.
    await app.page.hide();
    assert.strictEqual(await app.page.evaluate('document.visibilityState'), 'hidden');
    await sleep(2000);
    app.page.send('Page.crash').catch(() => {});
    await app.page.close().catch(() => {});

    const again = await App.open(browser, host.url, { app: 'test' });
    await again.run(open, third);
    await again.shows(third.shots.kept, 'kept after the hidden page was discarded');
  });
});

test('a second tab is refused while the first runs on', async () => {
  await withBrowser(async (browser) => {
    const first = await App.open(browser, host.url, {});
    const second = await browser.newPage();
    await second.goto(host.url);
    await waitFor('the second tab to say why it does not start',
      () => second.evaluate('/another tab/i.test(document.body.innerText)'), 15000);
    assert.strictEqual(await second.evaluate('window.jostlepad ? window.jostlepad.frames() : 0'), 0);
    const frames = await first.page.evaluate('window.jostlepad.frames()');
    await first.tap(at.sounds);
    await waitFor('the first tab to draw on', async () => (await first.page.evaluate('window.jostlepad.frames()')) > frames,
      5000);
  });
});

test('a pack of the user\'s own is added in the page, listed from the next start and played', async () => {
  // The bench with the same pack in its Sounds folder shows the list the page must.
  const appDir = tempDir('mine');
  fs.cpSync(path.join(testApp, 'app'), appDir, { recursive: true });
  fs.cpSync(path.join(testApp, 'Mine'), path.join(appDir, 'Sounds', 'Mine'), { recursive: true });
  const steps = [wait(2500), tap(at.inert), wait(400), tap(at.sounds), wait(400), tap(soundsRow(1)), wait(600),
    { shot: 'list' }, tap(listRow(0)), wait(600)];
  const bench = runBench(appDir, tempDir('device'), steps);
  assert.ok(valuesHeard(bench.recording).includes(7000), 'the bench lists the pack first');

  await withBrowser(async (browser) => {
    const app = await App.open(browser, host.url, { app: 'test', record: true });
    // The page's picker takes a folder: DevTools hands it the folder, or its
    // files where the picker takes files.
    const { root } = await app.page.send('DOM.getDocument');
    const { nodeId } = await app.page.send('DOM.querySelector', { nodeId: root.nodeId, selector: 'input[type=file]' });
    assert.ok(nodeId, 'the page has a picker for a pack');
    const mine = path.join(testApp, 'Mine');
    const folder = await app.page.evaluate("document.querySelector('input[type=file]').webkitdirectory");
    await app.page.send('DOM.setFileInputFiles', { nodeId,
      files: folder ? [mine] : fs.readdirSync(mine).map((f) => path.join(mine, f)) });
    await sleep(1000);
    await app.page.reload();
    await app.started();
    await app.run(steps, bench);
    assertHeardAsBench(await app.recording(), bench.recording);
  });
});

test('after the first visit the sound box starts with no network', async () => {
  const own = await serve(kSite);
  try {
    await withBrowser(async (browser) => {
      const app = await App.open(browser, own.url, {});
      await app.page.evaluate('navigator.serviceWorker.ready.then(() => true)', { timeoutMs: 30000 });
      await own.stop();
      await app.page.send('Network.emulateNetworkConditions',
        { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
      await app.page.reload();
      await app.started();
      assert.strictEqual(await app.page.evaluate('crossOriginIsolated'), true);
    });
  } finally {
    await own.stop();
  }
});
