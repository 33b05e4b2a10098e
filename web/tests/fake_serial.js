// A stand-in for the browser's navigator.serial, installed before the page's
// own scripts run. The test drives it through window.fakeSerial: ports to
// grant or plug in, a port that refuses to open, a port that goes away after
// a number of writes, a port whose writes never complete (from the start or
// after a number of writes, as on a line that stalls), and a device behind
// a port (anything with receive(bytes) that answers through
// port.send(bytes)). Its streams behave as Chromium's do.
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
      this.stallWrites = false;  // writes never complete, as on a full line
      this.stallAfterWrites = Infinity;  // ... once this many went out
      this.slowWritesMs = 0;  // each write takes this long
      this.device = null;
      this.isOpen = false;
      this.streams = { readable: null, writable: null };
    }

    getInfo() { return { ...this.info }; }

    // As in Chromium: an open port gives a fresh stream in place of one that
    // was closed or cancelled, and none once the device is lost.
    get readable() {
      if (!this.isOpen || this.gone) return null;
      this.streams.readable ??= new ReadableStream({
        start: (controller) => { this.controller = controller; },
        cancel: () => { this.streams.readable = null; },
      });
      return this.streams.readable;
    }

    get writable() {
      if (!this.isOpen) return null;
      this.streams.writable ??= new WritableStream({
        write: (chunk, controller) => this.take(chunk, controller.signal),
        close: () => {
          this.drains += 1;
          this.streams.writable = null;
        },
        abort: () => { this.streams.writable = null; },
      });
      return this.streams.writable;
    }

    async open(options) {
      if (this.isOpen) throw new DOMException('The port is already open.', 'InvalidStateError');
      if (this.refuseOpen) throw new DOMException(this.refuseOpen, 'NetworkError');
      this.options = options;
      this.opens += 1;
      this.gone = false;
      this.isOpen = true;
    }

    take(chunk, signal) {
      if (this.gone) throw lostError();
      if (this.stallWrites || this.writes.length >= this.stallAfterWrites) {
        // Only aborting the stream (closing the port) ends such a write.
        return new Promise((_, reject) => signal.addEventListener('abort', () => reject(signal.reason)));
      }
      this.writes.push({ bytes: [...chunk], at: performance.now(), drainedBefore: this.drains });
      if (this.writes.length >= this.loseAfterWrites) this.lose();
      this.device?.receive(new Uint8Array(chunk));
      // A slow line: each byte takes its time, well within the page's bound.
      if (this.slowWritesMs) return new Promise((resolve) => setTimeout(resolve, this.slowWritesMs));
      return undefined;
    }

    // The programmer is pulled out: the streams fail, the port is
    // disconnected. `eventFirst` sends the disconnect event before the
    // streams fail.
    lose({ eventFirst = false } = {}) {
      this.gone = true;
      if (eventFirst) fake.unplug(this);
      this.controller?.error(lostError());
      this.streams.readable = null;
      if (!eventFirst) fake.unplug(this);
    }

    send(bytes) { if (!this.gone) this.controller?.enqueue(new Uint8Array(bytes)); }

    async close() {
      if (this.streams.readable?.locked || this.streams.writable?.locked) {
        throw new DOMException('Cannot close a locked stream.', 'InvalidStateError');
      }
      if (!this.isOpen) throw new DOMException('The port is already closed.', 'InvalidStateError');
      await this.streams.readable?.cancel();
      await this.streams.writable?.abort(new DOMException('The port is closing.', 'AbortError'));
      this.closes += 1;
      this.isOpen = false;
      this.streams = { readable: null, writable: null };
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
