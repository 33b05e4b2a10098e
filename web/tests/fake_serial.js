// A stand-in for the browser's navigator.serial, installed before the page's
// own scripts run. The test drives it through window.fakeSerial: ports to
// grant or plug in, a port that refuses to open, a port that goes away after
// a number of writes, a line that stalls (from the start or after a number of
// writes: the bytes wait in the browser's pipe and their drain does not end
// until resume()), and a device behind a port (anything with receive(bytes)
// that answers through port.send(bytes)). Its streams and close() behave as
// Chromium's do (third_party/blink/renderer/modules/serial): close() throws
// while a stream is locked, cancels the readable, aborts the writable and
// ends once both streams have; an abort fails a drain under way, and the
// port then never hears that its writable ended, so that close never ends
// (until the device is lost) and its dropped abort shows as an uncaught
// "InvalidStateError: The port is closed.".
(() => {
  const lostError = () => new DOMException('The device has been lost.', 'NetworkError');

  class FakePort extends EventTarget {
    constructor(info) {
      super();
      this.info = info;
      this.opens = 0;
      this.closes = 0;
      this.writes = [];  // { bytes, at, drainedBefore } per write() call
      this.drains = 0;   // writers closed, each after its bytes left
      this.refuseOpen = null;
      this.loseAfterWrites = Infinity;
      this.stallWrites = false;  // the line takes nothing: drains never end until resume()
      this.stallAfterWrites = Infinity;  // ... once this many went out
      this.held = [];  // bytes in the pipe of a stalled line
      this.stalledDrains = [];  // { resolve, reject } of the drains waiting on it
      this.slowWritesMs = 0;  // each write takes this long
      this.device = null;
      this.isOpen = false;
      this.closing = false;
      this.streams = { readable: null, writable: null };
    }

    getInfo() { return { ...this.info }; }

    // As in Chromium: an open port gives a fresh stream in place of one that
    // ended, none while closing, and no readable once the device is lost.
    get readable() {
      if (this.streams.readable || !this.isOpen || this.closing || this.gone) return this.streams.readable;
      const stream = new ReadableStream({
        start: (controller) => { this.controller = controller; },
        cancel: () => this.ended('readable', stream),
      });
      this.streams.readable = stream;
      return stream;
    }

    get writable() {
      if (this.streams.writable || !this.isOpen || this.closing) return this.streams.writable;
      /** The stream's abort signal, which Chromium's sink watches. */
      let signal;
      const stream = new WritableStream({
        start: (controller) => { signal = controller.signal; },
        write: (chunk) => this.take(chunk),
        // The writer's close drains the line; on a stalled one it waits for
        // resume(). An abort meanwhile fails the drain, and the stream
        // never tells the port that it ended.
        close: () => new Promise((resolve, reject) => {
          const drained = () => {
            this.drains += 1;
            this.ended('writable', stream);
            resolve();
          };
          if (!this.held.length) {
            drained();
            return;
          }
          signal.addEventListener('abort', () => reject(signal.reason), { once: true });
          this.stalledDrains.push({ resolve: () => { if (!signal.aborted) drained(); }, reject });
        }),
        abort: () => this.ended('writable', stream),
      });
      this.streams.writable = stream;
      return stream;
    }

    // One of the port's streams ended; a close under way ends once both have.
    ended(kind, stream) {
      if (this.streams[kind] === stream) this.streams[kind] = null;
      if (this.closing && !this.streams.readable && !this.streams.writable) this.closed();
    }

    closed() {
      this.closes += 1;
      this.isOpen = false;
      this.closing = false;
      this.streams = { readable: null, writable: null };
      this.whenClosed?.();
      this.whenClosed = null;
    }

    async open(options) {
      if (this.isOpen) throw new DOMException('The port is already open.', 'InvalidStateError');
      if (this.refuseOpen) throw new DOMException(this.refuseOpen, 'NetworkError');
      this.options = options;
      this.opens += 1;
      this.gone = false;
      this.isOpen = true;
    }

    take(chunk) {
      if (this.gone) throw lostError();
      if (this.held.length || this.stallWrites || this.writes.length >= this.stallAfterWrites) {
        // Into the browser's pipe, which has room for a few bytes.
        this.held.push(new Uint8Array(chunk));
        return undefined;
      }
      this.deliver(chunk);
      // A slow line: each byte takes its time, well within the page's bound.
      if (this.slowWritesMs) return new Promise((resolve) => setTimeout(resolve, this.slowWritesMs));
      return undefined;
    }

    // The bytes leave the port for the device.
    deliver(chunk) {
      this.writes.push({ bytes: [...chunk], at: performance.now(), drainedBefore: this.drains });
      if (this.writes.length >= this.loseAfterWrites) this.lose();
      this.device?.receive(new Uint8Array(chunk));
    }

    // The stalled line takes bytes again: what the pipe held leaves, and the
    // drains waiting on it end.
    resume() {
      this.stallWrites = false;
      this.stallAfterWrites = Infinity;
      for (const chunk of this.held.splice(0)) this.deliver(chunk);
      for (const drain of this.stalledDrains.splice(0)) drain.resolve();
    }

    // The programmer is pulled out: the streams fail, the port is
    // disconnected. `eventFirst` sends the disconnect event before the
    // streams fail.
    lose({ eventFirst = false } = {}) {
      this.gone = true;
      this.held = [];
      for (const drain of this.stalledDrains.splice(0)) drain.reject(lostError());
      if (eventFirst) fake.unplug(this);
      this.controller?.error(lostError());
      this.streams.readable = null;
      // A close under way ends with the device.
      if (this.closing) this.closed();
      if (!eventFirst) fake.unplug(this);
    }

    send(bytes) { if (!this.gone) this.controller?.enqueue(new Uint8Array(bytes)); }

    // As Chromium's SerialPort.close(); see the top of this file.
    async close() {
      if (!this.isOpen) throw new DOMException('The port is already closed.', 'InvalidStateError');
      if (this.closing) throw new DOMException('A call to close() is already in progress.', 'InvalidStateError');
      const { readable, writable } = this.streams;
      if (readable?.locked) throw new TypeError("Failed to execute 'close' on 'SerialPort': Cannot cancel a locked stream");
      this.closing = true;
      const closing = new Promise((resolve) => { this.whenClosed = resolve; });
      readable?.cancel().catch(() => { /* errored already */ });
      if (writable?.locked) {
        this.closing = false;
        throw new TypeError("Failed to execute 'close' on 'SerialPort': Cannot abort a locked stream");
      }
      // Chromium drops the abort's promise.
      writable?.abort(new DOMException('The port is closed.', 'InvalidStateError'));
      if (this.closing && !this.streams.readable && !this.streams.writable) this.closed();
      return closing;
    }
  }

  class FakeSerial extends EventTarget {
    constructor() {
      super();
      this.granted = [];
      this.nextChoice = null;  // what requestPort() gives; null: the user declines
      this.requests = [];
    }

    async getPorts() { return [...this.granted]; }

    async requestPort(options) {
      this.requests.push(options);
      const port = this.nextChoice;
      if (!port) throw new DOMException('No port selected by the user.', 'NotFoundError');
      if (!this.granted.includes(port)) this.granted.push(port);
      return port;
    }

    port(info) { return new FakePort(info); }

    plug(port) {
      this.granted.push(port);
      this.dispatchEvent(Object.assign(new Event('connect'), { port }));
      port.dispatchEvent(new Event('connect'));
    }

    unplug(port) {
      this.granted = this.granted.filter((p) => p !== port);
      // The event goes to the port and bubbles to navigator.serial.
      const event = new Event('disconnect');
      Object.defineProperty(event, 'target', { value: port });
      this.dispatchEvent(event);
    }
  }

  const fake = new FakeSerial();
  window.fakeSerial = fake;
  Object.defineProperty(Navigator.prototype, 'serial', { get: () => fake, configurable: true });
})();
