// The page around the device: one tab at a time, the program's storage, the
// canvas, input into shared memory, the audio worklet, and window.jostlepad
// for tests. This thread never waits for the program: it only copies finished
// frames, writes input and wakes the device (web/web_main.cpp).
'use strict';
(function () {
  const logic = self.jostlepadLogic;
  const options = logic.parseOptions(location.search);
  const kWidth = 480;
  const kHeight = 640;
  // the device's shared words (enum Word in web/web_main.cpp)
  const W = { wake: 0, inputWrite: 1, frameCount: 2, frameReading: 3, audioRunning: 4, audioAhead: 5, ended: 6,
    silentFrames: 7, motionListening: 8 };
  const kPen = 1, kKey = 2, kActivate = 3, kClose = 4;
  const kPenDown = 0, kPenMove = 1, kPenUp = 2;
  const kAudioPlaying = 1, kAudioSuspended = 2;  // enum AudioState in web/web_main.cpp
  // after this long without a sound the audio context sleeps (the audio
  // thread costs a phone's battery even for silence); the next sound wakes it
  const kSleepAfterQuietMs = 10000;
  // the settings, written synchronously where the page may go at any moment
  const kHiveKey = 'jostlepad.hive';
  const kHivePath = '/store/device/registry.reg';
  // how long a hidden or leaving page waits for the program to save and end
  const kCloseGuardMs = 2000;

  const canvas = document.getElementById('screen');
  const context = canvas.getContext('2d');
  const note = document.getElementById('note');

  let resolveReady;
  let frames = 0;
  let lastFrame = null;  // ImageData of the last presented frame
  let device = null;     // views of the shared memory once the program runs
  let persisting = false, persistAgain = false, saves = 0;
  const soundStarts = [];  // page times (ms) at which sound began leaving the worklet
  let underruns = 0;       // quanta the ring ran dry in the middle of a sound
  const frameTimes = [];   // page times (ms) of the first frames presented
  const motionTimes = [];  // the last readings that changed: [page ms, x, y, z]
  const motorStarts = [];  // page times (ms) at which the device's motor started
  const motorPolls = [];   // for each, the time of the program's sensor poll just before it

  const api = {
    ready: new Promise((resolve) => { resolveReady = resolve; }),
    frames: () => frames,
    screen: () => lastFrame && { width: lastFrame.width, height: lastFrame.height, data: new Uint8ClampedArray(lastFrame.data) },
    recording: () => new Promise((resolve, reject) => {
      if (!device) return reject(new Error('the program is not running'));
      const sizeAt = Module._malloc(4);
      const at = Module._jp_recording(sizeAt);
      const size = Module.HEAPU32[sizeAt >> 2];
      Module._free(sizeAt);
      if (!at) return reject(new Error('no memory for the recording'));
      const wav = Module.HEAPU8.slice(at, at + size).buffer;
      Module._free(at);
      resolve(wav);
    }),
    saves: () => saves,          // storage writes finished (the hive and packs)
    soundStarts: () => soundStarts.slice(),
    underruns: () => underruns,
    frameTimes: () => frameTimes.slice(),
    motionTimes: () => motionTimes.slice(),
    motorStarts: () => motorStarts.slice(),
    motorPolls: () => motorPolls.slice(),
    audioContext: null,
  };
  window.jostlepad = api;

  function say(text) {
    note.textContent = text;
    note.hidden = false;
  }

  // ---- layout: the screen as large as the view allows ----
  function layout() {
    const v = logic.fitView(kWidth, kHeight, window.innerWidth, window.innerHeight);
    Object.assign(canvas.style, { left: v.x + 'px', top: v.y + 'px', width: v.width + 'px', height: v.height + 'px' });
  }
  window.addEventListener('resize', layout);
  layout();

  // ---- input into the device's queue ----
  function queue(kind, a, b, c) {
    if (!device) return;
    const H = Module.HEAP32;
    const n = Atomics.load(H, device.words + W.inputWrite);
    const at = device.events + (n % device.queueLength) * 4;
    H[at] = kind; H[at + 1] = a | 0; H[at + 2] = b | 0; H[at + 3] = c | 0;
    Atomics.store(H, device.words + W.inputWrite, n + 1);
    Atomics.add(H, device.words + W.wake, 1);
    Atomics.notify(H, device.words + W.wake);
  }

  // one pointer at a time, as on the phone's screen
  let pointer = null;
  function penAt(e, action) {
    const p = logic.toScreen(e.clientX, e.clientY, canvas.getBoundingClientRect(), kWidth, kHeight);
    queue(kPen, action, p.x, p.y);
  }
  canvas.addEventListener('pointerdown', (e) => {
    if (pointer !== null) return;
    pointer = e.pointerId;
    try { canvas.setPointerCapture(e.pointerId); } catch (_) { /* synthetic pointers */ }
    penAt(e, kPenDown);
    e.preventDefault();
  });
  canvas.addEventListener('pointermove', (e) => { if (e.pointerId === pointer) penAt(e, kPenMove); });
  const penUp = (e) => {
    if (e.pointerId !== pointer) return;
    pointer = null;
    penAt(e, kPenUp);
  };
  canvas.addEventListener('pointerup', penUp);
  canvas.addEventListener('pointercancel', penUp);
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());

  window.addEventListener('keydown', (e) => {
    const vk = logic.virtualKey(e.key);
    if (vk && !e.repeat) { queue(kKey, vk, 1); e.preventDefault(); }
  });
  window.addEventListener('keyup', (e) => {
    const vk = logic.virtualKey(e.key);
    if (vk) queue(kKey, vk, 0);
  });

  // hidden or blurred: the window deactivates, as on the phone
  let active = true;
  function setActive(on) {
    if (on === active) return;
    active = on;
    queue(kActivate, on ? 1 : 0);
  }
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') {
      setActive(false);
      closeProgram();
    } else {
      restartProgram();
      setActive(document.hasFocus());
    }
  });
  window.addEventListener('pagehide', closeProgram);
  window.addEventListener('pageshow', (e) => { if (e.persisted) restartProgram(); });
  window.addEventListener('blur', () => setActive(false));
  window.addEventListener('focus', () => setActive(document.visibilityState === 'visible'));

  // ---- motion ----
  // The sensor is listened to while the program polls it: with motion off a
  // reading 60 times a second would only wake this thread (and the phone's
  // sensor). The device asks again at the program's next poll.
  const kMotionUnpolledMs = 1000;
  // Where the browser has the accelerometer itself (Chromium), it is read 30
  // times a second: devicemotion comes 60 times a second whatever anyone
  // reads, and on this thread each one costs more than everything else the
  // page does while idle. Not at the program's own 20 polls a second: the
  // two would keep one phase, and the reading a poll takes could be a whole
  // period old for good; at 30 it is at most a third of one (33 ms) old.
  const kSensorHz = 30;
  let motionPermitted = typeof DeviceMotionEvent === 'undefined' || typeof DeviceMotionEvent.requestPermission !== 'function';
  let motionListening = false;
  let accelerometer = null;  // the Generic Sensor in use, if any
  let accelerometerFailed = false;
  let unpolledCheck = 0;
  let lastReading = [NaN, NaN, NaN];
  function reading(timeStamp, x, y, z) {
    if (!device || x === null || y === null || z === null) return;
    Module._jp_motion_reading(x, y, z);
    // for the tests' latency figures: the readings that changed
    if (x === lastReading[0] && y === lastReading[1] && z === lastReading[2]) return;
    lastReading = [x, y, z];
    motionTimes.push([timeStamp, x, y, z]);
    if (motionTimes.length > 2000) motionTimes.splice(0, 1000);
  }
  function onMotion(e) {
    const a = e.accelerationIncludingGravity;
    if (a) reading(e.timeStamp, a.x, a.y, a.z);
  }
  function startAccelerometer() {
    if (accelerometerFailed || typeof Accelerometer !== 'function') return false;
    try {
      const sensor = new Accelerometer({ frequency: kSensorHz });
      sensor.onreading = () => reading(sensor.timestamp, sensor.x, sensor.y, sensor.z);
      // no permission or no sensor: devicemotion from then on
      sensor.onerror = () => {
        accelerometerFailed = true;
        if (accelerometer !== sensor) return;
        sensor.stop();
        accelerometer = null;
        if (motionListening) window.addEventListener('devicemotion', onMotion);
      };
      sensor.start();
      accelerometer = sensor;
      return true;
    } catch (_) {
      accelerometerFailed = true;  // not allowed here
      return false;
    }
  }
  function stopMotion() {
    clearInterval(unpolledCheck);
    motionListening = false;
    if (accelerometer) accelerometer.stop();
    accelerometer = null;
    window.removeEventListener('devicemotion', onMotion);
    Atomics.store(Module.HEAP32, device.words + W.motionListening, 0);
  }
  function listenForMotion() {
    if (!options.sensor || !motionPermitted || !device || motionListening) return;
    motionListening = true;
    Atomics.store(Module.HEAP32, device.words + W.motionListening, 1);
    if (!startAccelerometer()) window.addEventListener('devicemotion', onMotion);
    unpolledCheck = setInterval(() => {
      if (performance.now() - Module.HEAPF64[Module._jp_last_poll_at() >> 3] > kMotionUnpolledMs) stopMotion();
    }, kMotionUnpolledMs);
  }

  // ---- the first tap: sound, motion permission, full screen ----
  async function startAudio() {
    if (api.audioContext || !device) return;
    // The shortest turns the browser allows: 'interactive' gave 10 ms turns
    // here (four quanta at once), so a new sound waited up to 10 ms for one;
    // asked for no latency at all it renders a quantum at a time.
    const ctx = new AudioContext({ sampleRate: 48000, latencyHint: 0 });
    api.audioContext = ctx;
    await ctx.audioWorklet.addModule('audio-worklet.js');
    const node = new AudioWorkletNode(ctx, 'jostlepad-ring', { numberOfInputs: 0, outputChannelCount: [2] });
    node.port.onmessage = (e) => {
      // the worklet's own clock as it handed the quantum on, to the
      // millisecond (the output's own latency, before a person hears it, is
      // not counted; nor is the time its word takes to come here)
      if (e.data.sound !== undefined) soundStarts.push(e.data.sound - performance.timeOrigin);
      if (e.data.underruns !== undefined) underruns = e.data.underruns;
      if (e.data.quiet && ctx.state === 'running') {
        Atomics.store(Module.HEAP32, device.words + W.audioRunning, kAudioSuspended);
        ctx.suspend();
      }
    };
    node.port.postMessage({
      buffer: Module.HEAP32.buffer, read: Module._jp_ring_read(), write: Module._jp_ring_write(),
      silent: (device.words + W.silentFrames) * 4,
      samples: Module._jp_ring_samples(), frames: Module._jp_ring_frames(),
      quietAfter: Math.round((kSleepAfterQuietMs / 1000) * ctx.sampleRate / 128),
    });
    node.connect(ctx.destination);
    await ctx.resume();
    const ahead = Number(new URLSearchParams(location.search).get('ahead'));
    if (ahead > 0) Atomics.store(Module.HEAP32, device.words + W.audioAhead, ahead);
    Atomics.store(Module.HEAP32, device.words + W.audioRunning, kAudioPlaying);
  }

  function firstTap() {
    window.removeEventListener('pointerdown', firstTap, true);
    startAudio().catch((e) => console.warn('jostlepad: no sound:', e));
    if (typeof DeviceMotionEvent !== 'undefined' && typeof DeviceMotionEvent.requestPermission === 'function') {
      DeviceMotionEvent.requestPermission().then((s) => {
        motionPermitted = s === 'granted';
        listenForMotion();
      }).catch(() => {});
    }
    const root = document.documentElement;
    if (root.requestFullscreen && !document.fullscreenElement) {
      root.requestFullscreen({ navigationUI: 'hide' })
        .then(() => screen.orientation && screen.orientation.lock && screen.orientation.lock('portrait'))
        .catch(() => {});
    }
  }
  window.addEventListener('pointerdown', firstTap, true);

  // ---- closing and starting again ----
  // A hidden page may be discarded without a word, and a closing one gives
  // no time for anything asynchronous: the program is closed at once (it
  // saves its settings as it closes, on the phone too), this thread serving
  // its file calls meanwhile, and started again when the page shows (by
  // loading the page anew: the program is made for one run a process).
  let closedForHide = false;
  function programEnded() { return !device || Atomics.load(Module.HEAP32, device.words + W.ended) !== 0; }
  function closeProgram() {
    if (programEnded()) return;
    const started = performance.now();
    closedForHide = true;
    queue(kClose);
    while (!programEnded() && performance.now() - started < kCloseGuardMs) {
      Module._emscripten_main_thread_process_queued_calls();
    }
    api.lastCloseMs = performance.now() - started;
  }
  function restartProgram() {
    if (device && programEnded()) location.reload();
  }

  // ---- frames: wait for the device's count, then copy at the next paint ----
  async function present() {
    const H = Module.HEAP32;
    const count = device.words + W.frameCount;
    const reading = device.words + W.frameReading;
    let seen = 0;
    for (;;) {
      if (Atomics.load(H, count) === seen) {
        if (Atomics.waitAsync) {
          const r = Atomics.waitAsync(H, count, seen);
          if (r.async) await r.value;
        } else {
          await new Promise((resolve) => setTimeout(resolve, 16));  // browsers without waitAsync
        }
        continue;
      }
      await new Promise((resolve) => requestAnimationFrame(resolve));
      let c = Atomics.load(H, count);
      // mark the buffer before looking again: the device never writes a marked one
      for (;;) {
        Atomics.store(H, reading, (c & 1) + 1);
        const again = Atomics.load(H, count);
        if (again === c) break;
        c = again;
      }
      const at = Module._jp_frame(c & 1);
      const image = new ImageData(kWidth, kHeight);
      image.data.set(Module.HEAPU8.subarray(at, at + kWidth * kHeight * 4));
      Atomics.store(H, reading, 0);
      Atomics.notify(H, reading);
      seen = c;
      context.putImageData(image, 0, 0);
      lastFrame = image;
      frames++;
      if (frameTimes.length < 1000) frameTimes.push(performance.now());
      if (frames === 1) resolveReady();
    }
  }

  // ---- storage: the hive and the user's packs, kept in IndexedDB ----
  function persist() {
    if (persisting) { persistAgain = true; return; }
    persisting = true;
    FS.syncfs(false, (err) => {
      persisting = false;
      if (err) console.warn('jostlepad: storage could not be written:', err);
      else saves++;
      if (persistAgain) { persistAgain = false; persist(); }
    });
  }

  let FS = null;
  function mountStore() {
    FS = Module.FS;
    FS.mkdir('/store');
    FS.mount(Module.IDBFS, {}, '/store');
    Module.addRunDependency('jostlepad-store');
    FS.syncfs(true, (err) => {
      if (err) console.warn('jostlepad: storage could not be read:', err);
      for (const dir of ['/store/device', '/store/Sounds']) {
        try { FS.mkdir(dir); } catch (_) { /* already there */ }
      }
      // localStorage has the latest hive: it is written synchronously
      const hive = localStorage.getItem(kHiveKey);
      if (hive !== null) FS.writeFile(kHivePath, hive);
      // the hive is saved by a rename; every save goes to storage at once
      const rename = FS.rename;
      FS.rename = function (from, to) {
        const result = rename.apply(this, arguments);
        if (to === kHivePath) {
          try { localStorage.setItem(kHiveKey, FS.readFile(kHivePath, { encoding: 'utf8' })); } catch (e) {
            console.warn('jostlepad: settings could not be kept:', e);
          }
        }
        if (String(to).startsWith('/store/')) persist();
        return result;
      };
      Module.removeRunDependency('jostlepad-store');
    });
  }

  // ---- the user's packs ----
  const packsButton = document.getElementById('packs-button');
  const packsPanel = document.getElementById('packs');
  const packList = document.getElementById('pack-list');
  function listPacks() {
    packList.textContent = '';
    let names = [];
    try { names = FS.readdir('/store/Sounds').filter((n) => n !== '.' && n !== '..'); } catch (_) { /* none */ }
    for (const name of names) {
      const li = document.createElement('li');
      li.textContent = name;
      const remove = document.createElement('button');
      remove.textContent = 'Remove';
      remove.onclick = () => { removeTree('/store/Sounds/' + name); persist(); listPacks(); };
      li.appendChild(remove);
      packList.appendChild(li);
    }
    if (!names.length) packList.textContent = 'None yet.';
  }
  function removeTree(path) {
    const st = FS.stat(path);
    if (FS.isDir(st.mode)) {
      for (const n of FS.readdir(path)) if (n !== '.' && n !== '..') removeTree(path + '/' + n);
      FS.rmdir(path);
    } else {
      FS.unlink(path);
    }
  }
  async function addPacks(files) {
    const packs = logic.groupPacks(files);
    for (const [name, list] of packs) {
      const dir = '/store/Sounds/' + name;
      try { FS.mkdir(dir); } catch (_) { /* replaced file by file */ }
      for (const f of list) FS.writeFile(dir + '/' + f.name, new Uint8Array(await f.source.file.arrayBuffer()));
    }
    persist();
    listPacks();
    return [...packs.keys()];
  }
  api.addPacks = addPacks;
  packsButton.onclick = () => { listPacks(); packsPanel.hidden = false; };
  document.getElementById('packs-close').onclick = () => { packsPanel.hidden = true; };
  document.getElementById('pack-picker').addEventListener('change', (e) => {
    addPacks([...e.target.files].map((file) => ({ path: file.webkitRelativePath || file.name, file })));
  });
  async function filesOfEntry(entry, prefix, out) {
    if (entry.isFile) {
      out.push({ path: prefix + entry.name, file: await new Promise((res, rej) => entry.file(res, rej)) });
    } else if (entry.isDirectory) {
      const reader = entry.createReader();
      for (;;) {
        const batch = await new Promise((res, rej) => reader.readEntries(res, rej));
        if (!batch.length) break;
        for (const child of batch) await filesOfEntry(child, prefix + entry.name + '/', out);
      }
    }
  }
  window.addEventListener('dragover', (e) => e.preventDefault());
  window.addEventListener('drop', async (e) => {
    e.preventDefault();
    const out = [];
    for (const item of [...e.dataTransfer.items]) {
      const entry = item.webkitGetAsEntry && item.webkitGetAsEntry();
      if (entry) await filesOfEntry(entry, '', out);
    }
    await addPacks(out);
    listPacks();
    packsPanel.hidden = false;
  });

  // ---- what the device asks of the page (web/web_main.cpp) ----
  const hold = new logic.IdleHold();
  let wakeLock = null, wakeTimer = 0;
  function keepAwake() {
    if (wakeLock || !navigator.wakeLock || document.visibilityState !== 'visible') return;
    const request = navigator.wakeLock.request('screen');
    wakeLock = request;
    request.then((sentinel) => {
      if (wakeLock !== request) { sentinel.release().catch(() => {}); return; }
      wakeLock = sentinel;
      sentinel.onrelease = () => { if (wakeLock === sentinel) wakeLock = null; };
    }, () => { if (wakeLock === request) wakeLock = null; });
  }
  function letSleep() {
    const lock = wakeLock;
    wakeLock = null;
    if (lock && lock.release) lock.release().catch(() => {});
  }
  api.awake = () => hold.held;
  const page = {
    trace(line) { if (options.trace) console.log('trace ' + line); },
    listenForMotion,
    openTab(address) { window.open(address, '_blank', 'noopener'); },
    vibrate(on, polledAt, startedAt) {
      if (on) {
        motorStarts.push(startedAt);
        motorPolls.push(polledAt);
      }
      if (navigator.vibrate) navigator.vibrate(on ? 10000 : 0);
    },
    idleReset() {
      const now = performance.now();
      hold.reset(now);
      keepAwake();  // again too after the browser let go of it (the page was hidden)
      clearTimeout(wakeTimer);
      wakeTimer = setTimeout(() => { if (hold.expire(performance.now())) letSleep(); }, hold.deadline() - now);
    },
    soundComing() {
      const ctx = api.audioContext;
      if (!ctx || Atomics.load(Module.HEAP32, device.words + W.audioRunning) !== kAudioSuspended) return;
      ctx.resume().then(() => {
        Atomics.store(Module.HEAP32, device.words + W.audioRunning, kAudioPlaying);
        Atomics.notify(Module.HEAP32, Module._jp_ring_read() >> 2);
      });
    },
    ended() {
      if (closedForHide) return;
      say('Jostlepad has closed. Tap to start it again.');
      window.addEventListener('pointerdown', restartProgram, { once: true });
    },
  };

  // ---- start: one tab per browser profile ----
  function start() {
    const args = [];
    if (options.trace) args.push('--trace');
    if (options.record) args.push('--record');
    if (!options.sensor) args.push('--sensor=none');
    window.Module = {
      arguments: args,
      jpPage: page,
      preRun: [mountStore],
      print: (t) => console.log(t),
      printErr: (t) => console.warn(t),
      onRuntimeInitialized() {
        const words = Module._jp_words() >> 2;
        device = { words, events: Module._jp_events() >> 2, queueLength: Module._jp_queue_length() };
        listenForMotion();
        packsButton.hidden = false;
        present();
      },
      onAbort(what) { say('Jostlepad stopped: ' + what); },
    };
    // the fonts, the app folder, then the program: each package adds itself to Module
    const scripts = ['fonts.js', 'apps/' + options.app + '.js', 'jostlepad.js'];
    const next = () => {
      const src = scripts.shift();
      if (!src) return;
      const s = document.createElement('script');
      s.src = src;
      s.onload = next;
      s.onerror = () => say('Could not load ' + src + '.');
      document.body.appendChild(s);
    };
    next();
  }

  if (!self.crossOriginIsolated) {
    say('This page needs to be served with cross-origin isolation (see tools/serve-web.sh).');
  } else if (navigator.locks) {
    const run = () => {
      start();
      return new Promise(() => {});  // held for the life of the page
    };
    navigator.locks.request('jostlepad', { ifAvailable: true }, (lock) => {
      if (lock) return run();
      say('The sound box is already open in another tab.');
      // It starts here once that tab is gone: closed, or a page that died
      // whose lock the browser has not let go of yet.
      return navigator.locks.request('jostlepad', () => {
        note.hidden = true;
        return run();
      });
    });
  } else {
    start();
  }
})();
