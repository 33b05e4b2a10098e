// A stand-in for the browser's navigator.serial, installed before the page's
// own scripts run. The test drives it through window.fakeSerial: ports to
// grant or plug in, a port that refuses to open, a port that goes away after
// a number of writes, and a device behind a port (anything with
// receive(bytes) that answers through port.send(bytes)), and a line that
// stalls: after a number of writes no write completes.
(() => {
  const lostError = () => new DOMException('The device has been lost.', 'NetworkError');

  class FakePort extends EventTarget {
    constructor(info) {
      super();
      this.info = info;
      this.opens = 0;
      this.closes = 0;
      this.writes = [];  // { bytes, at } per write() call
      this.refuseOpen = null;
      this.loseAfterWrites = Infinity;
      this.stallAfterWrites = Infinity;
      this.device = null;
      this.readable = null;
      this.writable = null;
    }

    getInfo() { return { ...this.info }; }

    async open(options) {
      if (this.readable) throw new DOMException('The port is already open.', 'InvalidStateError');
      if (this.refuseOpen) throw new DOMException(this.refuseOpen, 'NetworkError');
      this.options = options;
      this.opens += 1;
      this.gone = false;
      this.readable = new ReadableStream({ start: (controller) => { this.controller = controller; } });
      this.writable = new WritableStream({ write: (chunk) => this.take(chunk) });
    }

    take(chunk) {
      if (this.gone) throw lostError();
      if (this.writes.length >= this.stallAfterWrites) return new Promise(() => {});
      this.writes.push({ bytes: [...chunk], at: performance.now() });
      if (this.writes.length >= this.loseAfterWrites) this.lose();
      this.device?.receive(new Uint8Array(chunk));
    }

    // The programmer is pulled out: the streams fail, the port is disconnected.
    lose() {
      this.gone = true;
      this.readable = null;
      this.controller.error(lostError());
      fake.unplug(this);
    }

    send(bytes) { if (!this.gone) this.controller.enqueue(new Uint8Array(bytes)); }

    async close() {
      if (this.readable?.locked || this.writable?.locked) {
        throw new DOMException('Cannot close a locked stream.', 'InvalidStateError');
      }
      this.closes += 1;
      this.readable = null;
      this.writable = null;
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
