// The page's arithmetic (web/page/page-logic.js), under node's own test runner.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const logic = require('../../web/page/page-logic.js');

test('options combine, and an app name is never a path', () => {
  assert.deepStrictEqual(logic.parseOptions('?trace&record&sensor=none'),
    { trace: true, record: true, sensor: false, app: 'default' });
  assert.deepStrictEqual(logic.parseOptions(''), { trace: false, record: false, sensor: true, app: 'default' });
  assert.strictEqual(logic.parseOptions('?app=test-skin_2').app, 'test-skin_2');
  assert.strictEqual(logic.parseOptions('?app=../x').app, 'default');
  assert.strictEqual(logic.parseOptions('?sensor=auto').sensor, true);
});

test('the screen fits the view with its aspect kept, centred', () => {
  for (const [vw, vh, want] of [
    [480, 640, { scale: 1, width: 480, height: 640, x: 0, y: 0 }],
    [1000, 640, { scale: 1, width: 480, height: 640, x: 260, y: 0 }],
    [360, 800, { scale: 0.75, width: 360, height: 480, x: 0, y: 160 }],
  ]) {
    assert.deepStrictEqual(logic.fitView(480, 640, vw, vh), want);
  }
});

test('page points map to screen pixels, kept on the screen', () => {
  const rect = { left: 100, top: 10, width: 240, height: 320 };  // half size
  assert.deepStrictEqual(logic.toScreen(100, 10, rect, 480, 640), { x: 0, y: 0 });
  assert.deepStrictEqual(logic.toScreen(339.9, 329.9, rect, 480, 640), { x: 479, y: 639 });
  assert.deepStrictEqual(logic.toScreen(220, 170, rect, 480, 640), { x: 240, y: 320 });
  assert.deepStrictEqual(logic.toScreen(0, 1000, rect, 480, 640), { x: 0, y: 639 });
});

test('keys map as in the Linux window', () => {
  const cases = { ArrowLeft: 0x25, ArrowDown: 0x28, ' ': 0x20, a: 0x41, Z: 0x5a, 7: 0x37, Enter: 0x0d, Shift: 0, é: 0 };
  for (const [key, vk] of Object.entries(cases)) assert.strictEqual(logic.virtualKey(key), vk, key);
});

test('a picked folder groups into packs of WAV files; stray files are left out', () => {
  const files = ['Mine/a.wav', 'Mine/Mine.png', 'top.wav', 'Other/readme.txt', 'Deep/Inner/b.WAV', '../x/c.wav']
    .map((path) => ({ path }));
  const packs = logic.groupPacks(files);
  assert.deepStrictEqual([...packs.keys()].sort(), ['Inner', 'Mine']);
  assert.deepStrictEqual(packs.get('Mine').map((f) => f.name), ['a.wav', 'Mine.png']);
});

test('the screen is kept awake while idle resets come, until a gap and its margin pass', () => {
  const hold = new logic.IdleHold();
  assert.strictEqual(hold.reset(0), true);
  assert.strictEqual(hold.deadline(), 900000 + 90000 + 1000);  // no gap known yet
  assert.strictEqual(hold.reset(27000), false);
  assert.strictEqual(hold.deadline(), 27000 + 27000 + 2700 + 1000);
  assert.strictEqual(hold.expire(57699), false);
  assert.strictEqual(hold.reset(54000), false);  // on time: held on
  assert.strictEqual(hold.expire(54000 + 30700), true);
  assert.strictEqual(hold.expire(54000 + 30701), false);  // once
  assert.strictEqual(hold.deadline(), 0);
  assert.strictEqual(hold.reset(100000), true);  // a new hold forgets the old gap
  assert.strictEqual(hold.deadline(), 100000 + 991000);
});
