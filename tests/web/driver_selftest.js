// The driver itself, on a small page of its own served as the site is: the
// page isolated, emulated motion and input arriving, the console read, the
// site shell's worker starting it offline and isolating it on a plain host,
// and the browser gone after it is closed.
'use strict';
const assert = require('assert');
const { execFileSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const test = require('node:test');
const { serve, Browser, decodePng, constantRuns } = require('./driver');

const kRepo = path.join(__dirname, '..', '..');

function makeSite() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'jp-fixture-'));
  fs.copyFileSync(path.join(__dirname, 'fixture', 'index.html'), path.join(dir, 'index.html'));
  execFileSync(path.join(kRepo, 'web', 'site-shell', 'install.sh'), [dir], { stdio: 'ignore' });
  return dir;
}

// A static host that sends no isolation headers.
function plainHost(dir) {
  const server = http.createServer((req, res) => {
    const name = new URL(req.url, 'http://x').pathname.replace(/\/$/, '/index.html');
    const file = path.join(dir, path.normalize(name));
    if (!file.startsWith(dir) || !fs.existsSync(file)) {
      res.writeHead(404);
      res.end();
      return;
    }
    const type = file.endsWith('.js') ? 'text/javascript' : file.endsWith('.html') ? 'text/html' : 'application/octet-stream';
    res.writeHead(200, { 'Content-Type': type });
    res.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

test('the driver against its fixture page', async (t) => {
  const site = makeSite();
  const host = await serve(site);
  const browser = await Browser.launch();
  t.after(async () => {
    await host.stop();
    fs.rmSync(site, { recursive: true, force: true });
  });
  try {
    const page = await browser.newPage({ sensors: { x: 1, y: 2, z: 9.5 } });
    await page.goto(host.url);

    await t.test('isolated, with its console read', async () => {
      assert.strictEqual(await page.evaluate('crossOriginIsolated'), true);
      await page.waitConsole(/^loaded isolated=true/);
    });

    await t.test('emulated motion arrives as devicemotion with the reading', async () => {
      await page.waitConsole(/^motion 1\.00 2\.00 9\.50$/);
      await page.setMotion({ x: -3, y: 4.5, z: 0 });
      await page.waitConsole(/^motion -3\.00 4\.50 0\.00$/);
    });

    await t.test('a click and a touch arrive as pointer events where they were given', async () => {
      await page.click(100, 200);
      await page.waitConsole(/^pointerdown 100 200 mouse$/);
      await page.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 1 });
      await page.touch(300, 50);
      await page.waitConsole(/^pointerdown 300 50 touch$/);
    });

    await t.test('a page hidden is hidden to itself', async () => {
      const other = await browser.newPage();
      await other.goto('about:blank');
      await other.hide();
      assert.strictEqual(await other.evaluate('document.visibilityState'), 'hidden');
      assert.strictEqual(await page.evaluate('document.visibilityState'), 'visible');
      await other.close();
    });

    await t.test('the worker starts the page with no network, and a new build replaces its cache', async () => {
      await page.evaluate('navigator.serviceWorker.ready.then(() => true)');
      await page.send('Network.emulateNetworkConditions',
        { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
      await host.stop();
      page.console.length = 0;
      await page.reload();
      await page.waitConsole(/^loaded isolated=true controlled=true$/);
      assert.strictEqual(await page.evaluate('caches.keys().then((k) => k.length)'), 1);
    });

    await t.test('on a host without the headers the worker isolates the page after one reload', async () => {
      const plain = await plainHost(site);
      try {
        const fresh = await browser.newPage();
        const url = `http://127.0.0.1:${plain.address().port}/`;
        await fresh.goto(url);
        await fresh.waitConsole(/^loaded isolated=false controlled=false$/);
        await fresh.waitConsole(/^loaded isolated=true controlled=true$/, 15000);
        const before = await fresh.evaluate('caches.keys()');
        // a rebuilt site: its worker takes over and drops the old build's cache
        fs.writeFileSync(path.join(site, 'extra.txt'), 'new\n');
        execFileSync(path.join(kRepo, 'web', 'site-shell', 'install.sh'), [site], { stdio: 'ignore' });
        await fresh.evaluate('navigator.serviceWorker.getRegistration().then((r) => r.update())');
        const after = await require('./driver').waitFor('the new cache alone', async () => {
          const keys = await fresh.evaluate('caches.keys()');
          return keys.length === 1 && keys[0] !== before[0] ? keys : null;
        }, 15000);
        assert.match(after[0], /^jostlepad-[0-9a-f]{16}$/);
        await fresh.close();
      } finally {
        plain.close();
        plain.closeAllConnections();
      }
    });
    assert.deepStrictEqual(page.errors, []);
  } finally {
    assert.strictEqual(await browser.close(), true, 'Browser.close ended the browser');
    assert.deepStrictEqual(browser.processesLeft(), [], 'no process of the browser is left');
    assert.strictEqual(fs.existsSync(browser.profile), false);
  }
});

test('PNG and recording readers', () => {
  // 2 x 2 RGB, rows filtered Sub and Paeth, made by zlib like an encoder would
  const zlib = require('zlib');
  const raw = Buffer.from([1, 10, 20, 30, 5, 5, 5, 4, 1, 2, 3, 0, 0, 0]);
  const chunk = (type, body) => {
    const b = Buffer.alloc(12 + body.length);
    b.writeUInt32BE(body.length, 0);
    b.write(type, 4, 'latin1');
    body.copy(b, 8);
    return b;  // the CRC is not checked
  };
  const ihdr = Buffer.from([0, 0, 0, 2, 0, 0, 0, 2, 8, 2, 0, 0, 0]);
  const png = Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk('IHDR', ihdr),
    chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]);
  const image = decodePng(png);
  assert.deepStrictEqual(Array.from(image.data),
    [10, 20, 30, 255, 15, 25, 35, 255, 11, 22, 33, 255, 15, 25, 35, 255]);
  assert.deepStrictEqual(constantRuns([0, 0, 7, 7, 7, 0, 3, 3, -2, -2, -2], 3),
    [{ value: 7, start: 2, frames: 3 }, { value: -2, start: 8, frames: 3 }]);
});
