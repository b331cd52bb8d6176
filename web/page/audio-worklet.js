// The device's mix, from the ring in the program's shared memory: stereo
// float frames, indices counting frames (see web/audio_ring.h). Silence when
// the ring runs dry; each read wakes the device's audio thread to refill it.
class JostlepadRing extends AudioWorkletProcessor {
  constructor() {
    super();
    this.ring = null;
    this.port.onmessage = (e) => {
      const m = e.data;
      this.ring = {
        words: new Int32Array(m.buffer),
        samples: new Float32Array(m.buffer),
        read: m.read >> 2,
        write: m.write >> 2,
        silent: m.silent >> 2,
        base: m.samples >> 2,
        mask: m.frames - 1,
      };
      this.sounding = false;
      this.underruns = 0;
      this.quiet = 0;  // quanta without a sound since the last one
      this.quietAfter = m.quietAfter;
    };
  }

  process(inputs, outputs) {
    const out = outputs[0];
    const left = out[0];
    const right = out[1] || out[0];
    const n = left.length;
    const ring = this.ring;
    let got = 0;
    if (ring) {
      const r = Atomics.load(ring.words, ring.read);
      const w = Atomics.load(ring.words, ring.write);
      got = Math.min(n, (w - r) >>> 0);
      let loud = false;
      for (let i = 0; i < got; i++) {
        const at = ring.base + 2 * ((r + i) & ring.mask);
        left[i] = ring.samples[at];
        right[i] = ring.samples[at + 1];
        if (left[i] !== 0 || right[i] !== 0) loud = true;
      }
      // the ring ran dry in the middle of a sound
      if (this.sounding && got < n) this.port.postMessage({ underruns: ++this.underruns });
      // the device places what it records after the silence played so far
      if (got < n) Atomics.add(ring.words, ring.silent, n - got);
      if (got > 0) {
        Atomics.store(ring.words, ring.read, (r + got) | 0);
        Atomics.notify(ring.words, ring.read);
      }
      // tells the page when sound starts leaving, for latency measurements:
      // the wall clock, the one clock a worklet has (milliseconds)
      if (loud && !this.sounding) this.port.postMessage({ sound: Date.now() });
      this.sounding = loud;
      // a long silence: the page may let the context sleep
      this.quiet = loud ? 0 : this.quiet + 1;
      if (this.quiet === this.quietAfter) this.port.postMessage({ quiet: true });
    }
    left.fill(0, got);
    if (right !== left) right.fill(0, got);
    return true;
  }
}

registerProcessor('jostlepad-ring', JostlepadRing);
