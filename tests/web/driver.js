// Drives Debian's headless Chromium through its DevTools protocol, with
// nothing but Node's standard library: the browser in a profile of its own
// on a port of its own, pages with console capture, real input, emulated
// motion sensors, and readers for the PNG shots and WAV recordings the
// tests compare with.
'use strict';
const { spawn } = require('child_process');
const crypto = require('crypto');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

// ---- WebSocket client (RFC 6455), enough for DevTools: text frames, one peer ----

class WebSocketClient {
  static connect(url) {
    return new Promise((resolve, reject) => {
      const key = crypto.randomBytes(16).toString('base64');
      const req = http.request(url.replace(/^ws:/, 'http:'), {
        headers: { Connection: 'Upgrade', Upgrade: 'websocket', 'Sec-WebSocket-Key': key,
          'Sec-WebSocket-Version': '13' },
      });
      req.on('upgrade', (res, socket, head) => {
        const accept = crypto.createHash('sha1').update(key + '258EAFA5-E914-47DA-95CA-C5AB0DC85B11')
          .digest('base64');
        if (res.headers['sec-websocket-accept'] !== accept) {
          socket.destroy();
          reject(new Error('WebSocket handshake: wrong accept key'));
          return;
        }
        resolve(new WebSocketClient(socket, head));
      });
      req.on('response', (res) => reject(new Error(`WebSocket handshake refused: ${res.statusCode}`)));
      req.on('error', reject);
      req.end();
    });
  }

  constructor(socket, head) {
    this.socket = socket;
    this.buffer = head && head.length ? Buffer.from(head) : Buffer.alloc(0);
    this.fragments = [];
    this.onmessage = () => {};
    this.onclose = () => {};
    socket.setNoDelay(true);
    socket.on('data', (data) => {
      this.buffer = Buffer.concat([this.buffer, data]);
      this.parse();
    });
    socket.on('close', () => this.onclose());
    socket.on('error', () => {});
    if (this.buffer.length) setImmediate(() => this.parse());
  }

  parse() {
    for (;;) {
      const b = this.buffer;
      if (b.length < 2) return;
      const fin = (b[0] & 0x80) !== 0;
      const opcode = b[0] & 0x0f;
      const masked = (b[1] & 0x80) !== 0;
      let length = b[1] & 0x7f;
      let offset = 2;
      if (length === 126) {
        if (b.length < 4) return;
        length = b.readUInt16BE(2);
        offset = 4;
      } else if (length === 127) {
        if (b.length < 10) return;
        length = Number(b.readBigUInt64BE(2));
        offset = 10;
      }
      const maskOffset = offset;
      if (masked) offset += 4;
      if (b.length < offset + length) return;
      let payload = b.subarray(offset, offset + length);
      if (masked) {
        payload = Buffer.from(payload);
        for (let i = 0; i < payload.length; ++i) payload[i] ^= b[maskOffset + (i & 3)];
      }
      this.buffer = b.subarray(offset + length);
      if (opcode === 0x8) {
        this.socket.end();
        return;
      }
      if (opcode === 0x9) {
        this.sendFrame(0xa, payload);
        continue;
      }
      if (opcode === 0xa) continue;
      this.fragments.push(Buffer.from(payload));
      if (fin) {
        const message = Buffer.concat(this.fragments).toString('utf8');
        this.fragments = [];
        this.onmessage(message);
      }
    }
  }

  sendFrame(opcode, payload) {
    const mask = crypto.randomBytes(4);
    let header;
    if (payload.length < 126) {
      header = Buffer.from([0x80 | opcode, 0x80 | payload.length]);
    } else if (payload.length < 65536) {
      header = Buffer.alloc(4);
      header[0] = 0x80 | opcode;
      header[1] = 0x80 | 126;
      header.writeUInt16BE(payload.length, 2);
    } else {
      header = Buffer.alloc(10);
      header[0] = 0x80 | opcode;
      header[1] = 0x80 | 127;
      header.writeBigUInt64BE(BigInt(payload.length), 2);
    }
    const body = Buffer.from(payload);
    for (let i = 0; i < body.length; ++i) body[i] ^= mask[i & 3];
    this.socket.write(Buffer.concat([header, mask, body]));
  }

  send(text) {
    this.sendFrame(0x1, Buffer.from(text, 'utf8'));
  }

  close() {
    this.socket.destroy();
  }
}

// ---- the browser ----

const kSensorTypes = ['accelerometer', 'gravity', 'linear-acceleration', 'gyroscope'];
const kG = 9.80665;

function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

async function waitFor(what, check, timeoutMs, stepMs = 50) {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > deadline) throw new Error(`timed out after ${timeoutMs} ms waiting for ${what}`);
    await sleep(stepMs);
  }
}

class Browser {
  // Starts Chromium headless with a fresh profile in a temporary folder and
  // the DevTools port it picks itself, and connects to it.
  static async launch({ executable = process.env.JP_CHROMIUM || 'chromium', args = [] } = {}) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'jp-chromium-'));
    const argv = ['--headless', '--no-sandbox', `--user-data-dir=${profile}`, '--remote-debugging-port=0',
      '--no-first-run', '--no-default-browser-check', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--password-store=basic',
      // the tests hide pages and expect them to keep running as a phone's would until closed
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding', ...args, 'about:blank'];
    const child = spawn(executable, argv, { detached: true, stdio: ['ignore', 'ignore', 'pipe'] });
    let stderr = '';
    child.stderr.on('data', (d) => {
      if (stderr.length < 65536) stderr += d;
    });
    const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
    let ended = false;
    exited.then(() => { ended = true; });
    child.on('error', (e) => {
      stderr += `${e.message}\n`;
      ended = true;
    });
    const portFile = path.join(profile, 'DevToolsActivePort');
    try {
      await waitFor('DevToolsActivePort', () => {
        if (ended) throw new Error(`chromium ended before it listened:\n${stderr}`);
        if (!fs.existsSync(portFile)) return null;
        const lines = fs.readFileSync(portFile, 'utf8').split('\n');
        return lines.length >= 2 && lines[1] ? lines : null;
      }, 30000);
    } catch (e) {
      try { process.kill(-child.pid, 'SIGKILL'); } catch (_) { /* already gone */ }
      fs.rmSync(profile, { recursive: true, force: true });
      throw e;
    }
    const [port, wsPath] = fs.readFileSync(portFile, 'utf8').split('\n');
    const ws = await WebSocketClient.connect(`ws://127.0.0.1:${port.trim()}${wsPath.trim()}`);
    const browser = new Browser(child, exited, profile, ws);
    browser.stderr = () => stderr;
    return browser;
  }

  constructor(child, exited, profile, ws) {
    this.child = child;
    this.exited = exited;
    this.profile = profile;
    this.ws = ws;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    ws.onmessage = (text) => this.dispatch(JSON.parse(text));
    ws.onclose = () => {
      for (const { reject, method } of this.pending.values()) reject(new Error(`${method}: connection closed`));
      this.pending.clear();
    };
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const call = this.pending.get(message.id);
      if (!call) return;
      this.pending.delete(message.id);
      if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
      else call.resolve(message.result);
      return;
    }
    for (const l of this.listeners.slice()) {
      if (l.method === message.method && l.sessionId === message.sessionId) l.handler(message.params);
    }
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.ws.send(JSON.stringify(message));
    });
  }

  on(method, handler, sessionId = undefined) {
    const listener = { method, handler, sessionId };
    this.listeners.push(listener);
    return () => {
      this.listeners = this.listeners.filter((l) => l !== listener);
    };
  }

  // A new tab, attached, with console capture on; `sensors` overrides the
  // motion sensors before anything is loaded (see Page.setMotion).
  async newPage({ sensors = null, width = 480, height = 640 } = {}) {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, targetId, sessionId);
    await page.init({ sensors, width, height });
    return page;
  }

  // Ends the browser as a person's close would, then makes sure the process
  // is gone and removes its profile.
  async close() {
    // A browser stuck in a page may never answer: it is then ended by force.
    this.send('Browser.close').catch(() => {});
    let timer;
    const gone = await Promise.race([this.exited.then(() => true),
      new Promise((resolve) => { timer = setTimeout(() => resolve(false), 10000); })]);
    clearTimeout(timer);
    // Its helpers end a moment after it; any still running then are ended.
    for (let i = 0; gone && i < 50 && this.processesLeft().length; ++i) await sleep(100);
    if (!gone || this.processesLeft().length) {
      try { process.kill(-this.child.pid, 'SIGKILL'); } catch (_) { /* already gone */ }
      await this.exited;
    }
    this.ws.close();
    // The browser's helpers may hold the profile a moment longer.
    for (let i = 0; i < 20; ++i) {
      try {
        fs.rmSync(this.profile, { recursive: true, force: true });
        break;
      } catch (_) {
        await sleep(100);
      }
    }
    return gone;
  }

  // The browser's processes still running (its helpers share its process
  // group; zombies waiting for their reaper do not count).
  processesLeft() {
    const left = [];
    for (const entry of fs.readdirSync('/proc')) {
      if (!/^\d+$/.test(entry)) continue;
      let stat;
      try {
        stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      } catch (_) {
        continue;
      }
      // pid (comm) state ppid pgrp ...: comm may hold spaces, so read after its ')'
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      if (Number(fields[2]) === this.child.pid && fields[0] !== 'Z') left.push(Number(entry));
    }
    return left;
  }
}

class Page {
  constructor(browser, targetId, sessionId) {
    this.browser = browser;
    this.targetId = targetId;
    this.sessionId = sessionId;
    this.console = [];  // every console line, as text
    this.errors = [];   // uncaught exceptions
    this.consoleWaiters = [];
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  on(method, handler) {
    return this.browser.on(method, handler, this.sessionId);
  }

  async init({ sensors, width, height }) {
    this.on('Runtime.consoleAPICalled', (p) => {
      const text = p.args.map((a) => (a.value !== undefined ? String(a.value) : a.description || a.type)).join(' ');
      this.console.push(text);
      for (const w of this.consoleWaiters.slice()) w(text);
    });
    this.on('Runtime.exceptionThrown', (p) => {
      const d = p.exceptionDetails;
      this.errors.push((d.exception && d.exception.description) || d.text);
    });
    await this.send('Runtime.enable');
    await this.send('Page.enable');
    await this.send('Network.enable');
    await this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 1, mobile: false });
    // Focused as the one page on a phone's screen, whichever tab DevTools opened last.
    await this.send('Emulation.setFocusEmulationEnabled', { enabled: true });
    if (sensors) await this.setMotion(sensors, { enable: true });
  }

  // The phone's motion in m/s^2 including gravity, {x, y, z}, as the
  // accelerometer reads it. Every sensor behind devicemotion gets a reading,
  // or the browser sends no devicemotion at all.
  async setMotion({ x, y, z }, { enable = false } = {}) {
    if (enable) {
      for (const type of kSensorTypes) await this.send('Emulation.setSensorOverrideEnabled', { enabled: true, type });
    }
    const readings = {
      accelerometer: { x, y, z },
      gravity: { x: 0, y: 0, z: kG },
      'linear-acceleration': { x, y, z: z - kG },
      gyroscope: { x: 0, y: 0, z: 0 },
    };
    for (const type of kSensorTypes) {
      await this.send('Emulation.setSensorOverrideReadings', { type, reading: { xyz: readings[type] } });
    }
  }

  // Both wait for the load, which fails the call if it never comes, even when
  // the page is too busy to answer the command itself.
  async goto(url, { timeoutMs = 30000 } = {}) {
    const navigated = this.send('Page.navigate', { url }).then((result) => {
      if (result.errorText) throw new Error(`navigation to ${url}: ${result.errorText}`);
    });
    await Promise.all([this.waitEvent('Page.loadEventFired', timeoutMs), navigated]);
  }

  async reload({ timeoutMs = 30000 } = {}) {
    await Promise.all([this.waitEvent('Page.loadEventFired', timeoutMs), this.send('Page.reload', { ignoreCache: false })]);
  }

  waitEvent(method, timeoutMs = 30000) {
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        off();
        reject(new Error(`timed out after ${timeoutMs} ms waiting for ${method}`));
      }, timeoutMs);
      const off = this.on(method, (params) => {
        clearTimeout(timer);
        off();
        resolve(params);
      });
    });
  }

  // The first console line (from now, or already seen when `seen` is true)
  // matching `pattern`.
  waitConsole(pattern, timeoutMs = 10000, { seen = true } = {}) {
    if (seen) {
      const line = this.console.find((l) => pattern.test(l));
      if (line) return Promise.resolve(line);
    }
    return new Promise((resolve, reject) => {
      const waiter = (text) => {
        if (!pattern.test(text)) return;
        clearTimeout(timer);
        this.consoleWaiters = this.consoleWaiters.filter((w) => w !== waiter);
        resolve(text);
      };
      const timer = setTimeout(() => {
        this.consoleWaiters = this.consoleWaiters.filter((w) => w !== waiter);
        reject(new Error(`timed out after ${timeoutMs} ms waiting for a console line like ${pattern}`));
      }, timeoutMs);
      this.consoleWaiters.push(waiter);
    });
  }

  // The value of an expression in the page, promises awaited.
  async evaluate(expression, { timeoutMs = 30000 } = {}) {
    let timer;
    const result = await Promise.race([
      this.send('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true, userGesture: false }),
      new Promise((resolve, reject) => {
        timer = setTimeout(() => reject(new Error(`evaluate timed out: ${expression.slice(0, 80)}`)), timeoutMs);
      }),
    ]).finally(() => clearTimeout(timer));
    if (result.exceptionDetails) {
      const d = result.exceptionDetails;
      throw new Error(`in page: ${(d.exception && d.exception.description) || d.text}`);
    }
    return result.result.value;
  }

  // A mouse click at page coordinates: pointerdown, pointerup, click.
  async click(x, y) {
    await this.send('Input.dispatchMouseEvent', { type: 'mouseMoved', x, y });
    await this.send('Input.dispatchMouseEvent', { type: 'mousePressed', x, y, button: 'left', buttons: 1, clickCount: 1 });
    await this.send('Input.dispatchMouseEvent', { type: 'mouseReleased', x, y, button: 'left', buttons: 0, clickCount: 1 });
  }

  // A finger's tap at page coordinates.
  async touch(x, y) {
    await this.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y, id: 1 }] });
    await this.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  }

  // Hidden, as when a person turns to another app: the page's window minimised.
  async hide() {
    await this.send('Emulation.setFocusEmulationEnabled', { enabled: false });
    const { windowId } = await this.browser.send('Browser.getWindowForTarget', { targetId: this.targetId });
    await this.browser.send('Browser.setWindowBounds', { windowId, bounds: { windowState: 'minimized' } });
  }

  async close() {
    await this.browser.send('Target.closeTarget', { targetId: this.targetId });
  }
}

// ---- the site ----

// tools/serve-web.sh on a free port: {url, stop()}.
function serve(dir, extra = []) {
  const script = path.join(__dirname, '..', '..', 'tools', 'serve-web.js');
  const child = spawn(process.execPath, [script, '--port', '0', '--dir', dir, ...extra],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  return new Promise((resolve, reject) => {
    let out = '';
    let err = '';
    child.stderr.on('data', (d) => { err += d; });
    child.stdout.on('data', (d) => {
      out += d;
      const m = /^serving (\S+)/m.exec(out);
      if (m) {
        resolve({
          url: m[1],
          stop: () => new Promise((done) => {
            if (child.exitCode !== null) done();
            else {
              child.on('exit', done);
              child.kill('SIGTERM');
            }
          }),
        });
      }
    });
    child.on('exit', (code) => reject(new Error(`serve-web ended (${code}): ${err}`)));
  });
}

// ---- files the tests compare with ----

// An 8-bit PNG (grey, grey+alpha, RGB, RGBA; not interlaced) as
// {width, height, data: RGBA bytes}.
function decodePng(bytes) {
  const signature = [137, 80, 78, 71, 13, 10, 26, 10];
  for (let i = 0; i < 8; ++i) if (bytes[i] !== signature[i]) throw new Error('not a PNG');
  let offset = 8;
  let header = null;
  const idat = [];
  while (offset + 8 <= bytes.length) {
    const length = bytes.readUInt32BE(offset);
    const type = bytes.toString('latin1', offset + 4, offset + 8);
    const body = bytes.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      header = { width: body.readUInt32BE(0), height: body.readUInt32BE(4), depth: body[8], colour: body[9],
        interlace: body[12] };
    } else if (type === 'IDAT') {
      idat.push(body);
    } else if (type === 'IEND') {
      break;
    }
    offset += 12 + length;
  }
  if (!header) throw new Error('PNG without a header');
  const channels = { 0: 1, 2: 3, 4: 2, 6: 4 }[header.colour];
  if (header.depth !== 8 || !channels || header.interlace !== 0) {
    throw new Error(`PNG layout not read here: depth ${header.depth}, colour ${header.colour}`);
  }
  const { width, height } = header;
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  if (raw.length < height * (stride + 1)) throw new Error('PNG data too short');
  const rows = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = y * stride;
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? rows[out + i - channels] : 0;
      const b = y > 0 ? rows[out - stride + i] : 0;
      const c = y > 0 && i >= channels ? rows[out - stride + i - channels] : 0;
      let v = line[i];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c;
        const pa = Math.abs(p - a);
        const pb = Math.abs(p - b);
        const pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      } else if (filter !== 0) throw new Error(`PNG filter ${filter}`);
      rows[out + i] = v & 0xff;
    }
  }
  const data = new Uint8Array(width * height * 4);
  for (let p = 0; p < width * height; ++p) {
    const s = p * channels;
    const grey = channels <= 2;
    data[p * 4] = rows[s];
    data[p * 4 + 1] = grey ? rows[s] : rows[s + 1];
    data[p * 4 + 2] = grey ? rows[s] : rows[s + 2];
    data[p * 4 + 3] = channels === 2 ? rows[s + 1] : channels === 4 ? rows[s + 3] : 255;
  }
  return { width, height, data };
}

// A WAV file's first channel as numbers in the 16-bit range, and its rate.
function decodeWav(bytes) {
  if (bytes.toString('latin1', 0, 4) !== 'RIFF' || bytes.toString('latin1', 8, 12) !== 'WAVE') {
    throw new Error('not a WAV file');
  }
  let offset = 12;
  let format = null;
  while (offset + 8 <= bytes.length) {
    const id = bytes.toString('latin1', offset, offset + 4);
    const size = bytes.readUInt32LE(offset + 4);
    const body = bytes.subarray(offset + 8, Math.min(bytes.length, offset + 8 + size));
    if (id === 'fmt ') {
      format = { tag: body.readUInt16LE(0), channels: body.readUInt16LE(2), rate: body.readUInt32LE(4),
        bits: body.readUInt16LE(14) };
    } else if (id === 'data') {
      if (!format) throw new Error('WAV data before its format');
      const frameBytes = (format.bits / 8) * format.channels;
      const frames = Math.floor(body.length / frameBytes);
      const samples = new Float64Array(frames);
      for (let i = 0; i < frames; ++i) {
        const at = i * frameBytes;
        if (format.tag === 3 && format.bits === 32) samples[i] = body.readFloatLE(at) * 32768;
        else if (format.tag === 1 && format.bits === 16) samples[i] = body.readInt16LE(at);
        else throw new Error(`WAV layout not read here: tag ${format.tag}, ${format.bits} bits`);
      }
      return { rate: format.rate, channels: format.channels, samples };
    }
    offset += 8 + size + (size & 1);
  }
  throw new Error('WAV without data');
}

// Runs of one sample value at least `minFrames` long, other than silence:
// [{value, start, frames}] in order.
function constantRuns(samples, minFrames) {
  const runs = [];
  let start = 0;
  for (let i = 1; i <= samples.length; ++i) {
    if (i < samples.length && Math.round(samples[i]) === Math.round(samples[start])) continue;
    const value = Math.round(samples[start]);
    if (value !== 0 && i - start >= minFrames) runs.push({ value, start, frames: i - start });
    start = i;
  }
  return runs;
}

// For each jerk (a devicemotion reading away from `rest`, the browser's
// reading at rest), the ms from it, from the program's poll that saw it (the
// last before the motor started) and from the motor's start to the first
// sample of its sound leaving the worklet: [{motion, poll, motor}].
async function jerkLatencies(page, rest) {
  const [motions, starts, motors, polls] = await page.evaluate(
    '[jostlepad.motionTimes(), jostlepad.soundStarts(), jostlepad.motorStarts(), jostlepad.motorPolls()]');
  const out = [];
  for (let i = 1; i < motions.length; ++i) {
    const [when, x, y, z] = motions[i];
    const resting = Math.abs(x - rest.x) + Math.abs(y - rest.y) + Math.abs(z - rest.z) < 0.01;
    const [, px, py, pz] = motions[i - 1];
    if (resting || (x === px && y === py && z === pz)) continue;
    const motor = motors.findIndex((m) => m > when);
    const sound = starts.findIndex((s) => s > when);
    // a jerk the program did not answer (a slot without a sound) has none
    if (motor < 0 || sound < 0 || starts[sound] - when > 500) continue;
    out.push({ motion: starts[sound] - when, poll: starts[sound] - polls[motor], motor: starts[sound] - motors[motor] });
  }
  return out;
}
const spread = (list) => (list.length ? `${Math.min(...list).toFixed(1)}-${Math.max(...list).toFixed(1)} ms` : 'none');

module.exports = { serve, Browser, Page, WebSocketClient, decodePng, decodeWav, constantRuns, jerkLatencies, spread, sleep,
  waitFor, kG };
