// The page's arithmetic, kept apart from the DOM so node can check it.
(function (exports) {
  'use strict';

  // ?trace&record&sensor=none&app=NAME
  function parseOptions(search) {
    const q = new URLSearchParams(search);
    const app = q.get('app');
    return {
      trace: q.has('trace'),
      record: q.has('record'),
      sensor: q.get('sensor') !== 'none',
      // a package beside the default one, never a path
      app: app && /^[A-Za-z0-9_-]+$/.test(app) ? app : 'default',
    };
  }

  // The screen as large as the viewport allows, its aspect kept, centred.
  function fitView(screenWidth, screenHeight, viewWidth, viewHeight) {
    const scale = Math.max(Math.min(viewWidth / screenWidth, viewHeight / screenHeight), 0.01);
    const width = Math.round(screenWidth * scale);
    const height = Math.round(screenHeight * scale);
    return {
      scale,
      width,
      height,
      x: Math.floor((viewWidth - width) / 2),
      y: Math.floor((viewHeight - height) / 2),
    };
  }

  // A point of the page to a screen pixel, kept on the screen.
  function toScreen(clientX, clientY, rect, screenWidth, screenHeight) {
    const clamp = (v, n) => Math.min(Math.max(v, 0), n - 1);
    return {
      x: clamp(Math.floor(((clientX - rect.left) * screenWidth) / rect.width), screenWidth),
      y: clamp(Math.floor(((clientY - rect.top) * screenHeight) / rect.height), screenHeight),
    };
  }

  // The virtual-key code of a KeyboardEvent.key, as the Linux window maps its
  // keys; 0 for keys the device has no use for.
  function virtualKey(key) {
    const named = {
      ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, ' ': 0x20,
      Enter: 0x0d, Escape: 0x1b, Backspace: 0x08,
    };
    if (key in named) return named[key];
    if (key.length === 1 && /[a-z0-9]/i.test(key)) return key.toUpperCase().charCodeAt(0);
    return 0;
  }

  // The files of a picked or dropped folder ({path, ...}, paths with '/'),
  // grouped as packs: the folder holding WAV files, named by its own name.
  // Files outside such a folder, and names that could leave it, are dropped.
  function groupPacks(files) {
    const packs = new Map();
    for (const f of files) {
      const parts = f.path.split('/').filter((p) => p !== '');
      if (parts.length < 2 || parts.some((p) => p === '.' || p === '..' || p.includes('\\'))) continue;
      const name = parts[parts.length - 2];
      const file = parts[parts.length - 1];
      if (!packs.has(name)) packs.set(name, []);
      packs.get(name).push({ name: file, source: f });
    }
    for (const [name, list] of packs) {
      if (!list.some((f) => /\.wav$/i.test(f.name))) packs.delete(name);
    }
    return packs;
  }

  // Whether the screen is kept awake: while the program's idle-timer resets
  // keep coming, until one gap plus a margin passes without one, as the
  // phone's own timer would run out (the Linux window holds its screen saver
  // off the same way).
  class IdleHold {
    constructor() { this.held = false; this.last = 0; this.gap = 0; }
    static holdFor(gapMs) { return gapMs + gapMs / 10 + 1000; }
    // a reset at nowMs; true when the hold starts now
    reset(nowMs) {
      const starts = !this.held;
      if (this.held) this.gap = Math.max(this.gap, nowMs - this.last);
      this.held = true;
      this.last = nowMs;
      return starts;
    }
    // when the hold ends unless another reset comes; 0 while not held
    deadline() { return this.held ? this.last + IdleHold.holdFor(this.gap || IdleHold.kLongestPeriodMs) : 0; }
    // true once, when the hold has ended by nowMs
    expire(nowMs) {
      if (!this.held || nowMs < this.deadline()) return false;
      this.held = false;
      this.gap = 0;
      return true;
    }
  }
  IdleHold.kLongestPeriodMs = 900000;  // the longest period the program resets with

  exports.IdleHold = IdleHold;
  exports.parseOptions = parseOptions;
  exports.fitView = fitView;
  exports.toScreen = toScreen;
  exports.virtualKey = virtualKey;
  exports.groupPacks = groupPacks;
})(typeof module !== 'undefined' ? module.exports : (self.jostlepadLogic = {}));
