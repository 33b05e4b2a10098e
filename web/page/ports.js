// The line to the device as the commands use it: the simulated device in the
// page (the module's device core), bytes in and out on the page's clock.

// Resolves on the next turn of the event loop: a message, not a timer, so no
// 4 ms clamp.
const channel = new MessageChannel();
const waiting = [];
channel.port1.onmessage = () => waiting.shift()?.();
const nextTurn = () => new Promise((resolve) => { waiting.push(resolve); channel.port2.postMessage(0); });

export class SimulatedPort {
  constructor(quorvex) {
    this.device = new quorvex.SimulatedDevice();
    this.received = [];
    this.timer = null;
  }

  // Sends the bytes one per write, with at least `pauseMs` after each.
  async writePaced(bytes, pauseMs) {
    for (const byte of bytes) {
      this.write(Uint8Array.of(byte));
      const until = performance.now() + pauseMs;
      while (performance.now() < until) await nextTurn();
    }
  }

  write(bytes) {
    this.device.receive(bytes, performance.now());
    this.schedule();
  }

  // Forgets what arrived so far.
  discardInput() { this.received = []; }

  // Everything that arrived since the last discard.
  takeReceived() {
    const total = this.received.reduce((n, part) => n + part.length, 0);
    const all = new Uint8Array(total);
    let at = 0;
    for (const part of this.received) { all.set(part, at); at += part.length; }
    this.received = [];
    return all;
  }

  schedule() {
    clearTimeout(this.timer);
    const due = this.device.nextDue();
    if (due < 0) return;
    this.timer = setTimeout(() => {
      for (const emission of this.device.takeDue(performance.now())) this.received.push(emission.bytes);
      this.schedule();
    }, Math.max(0, due - performance.now()));
  }
}
