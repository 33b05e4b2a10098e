// The line to the device as the commands use it. Every port has the same
// four operations:
//   open()          opens the line at 57600 8N1 without flow control; rejects
//                   with the browser's reason when it cannot;
//   write(bytes)    resolves once the bytes are handed over; rejects with a
//                   PortLost when the port went away;
//   read(deadline)  resolves once performance.now() has reached `deadline`,
//                   with every byte that arrived since the previous read;
//                   rejects with a PortLost when the port went away;
//   close()         closes; never rejects.
// Two kinds: the simulated device in the page (the module's device core on
// the page's clock) and a serial port of the browser (Web Serial).
import { joinBytes, sleep } from './pacing.js';

// The port went away under a command (the programmer was pulled out).
export class PortLost extends Error {
  constructor(cause) {
    super(cause?.message ?? String(cause));
    this.name = 'PortLost';
  }
}

export class SimulatedPort {
  constructor(quorvex) {
    this.device = new quorvex.SimulatedDevice();
  }

  async open() {}

  async write(bytes) { this.device.receive(bytes, performance.now()); }

  async read(deadline) {
    await sleep(deadline - performance.now());
    return joinBytes(this.device.takeDue(performance.now()).map((emission) => emission.bytes));
  }

  async close() {}
}

// A port of navigator.serial. The bytes it receives are collected from the
// open on, by a read loop of its own, as the driver's queue would hold them.
export class WebSerialPort {
  constructor(port, lineOptions) {
    this.port = port;
    this.lineOptions = lineOptions;
    this.chunks = [];
    this.lost = null;
    this.writer = null;
    this.reader = null;
    this.reading = null;
  }

  async open() {
    await this.port.open(this.lineOptions);
    this.lost = null;
    this.chunks = [];
    this.writer = this.port.writable.getWriter();
    this.reading = this.readLoop();
  }

  async readLoop() {
    // A parity or framing error ends one readable stream and the port gives
    // a fresh one; a lost device leaves none.
    while (this.port.readable && !this.lost) {
      this.reader = this.port.readable.getReader();
      try {
        for (;;) {
          const { value, done } = await this.reader.read();
          if (done) return;
          this.chunks.push(value);
        }
      } catch (error) {
        if (!this.port.readable) this.lost = error;
      } finally {
        this.reader.releaseLock();
        this.reader = null;
      }
    }
  }

  async write(bytes) {
    if (this.lost) throw new PortLost(this.lost);
    try {
      await this.writer.write(bytes);
    } catch (error) {
      this.lost = error;
      throw new PortLost(error);
    }
  }

  async read(deadline) {
    await sleep(deadline - performance.now());
    if (this.lost) throw new PortLost(this.lost);
    const all = joinBytes(this.chunks);
    this.chunks = [];
    return all;
  }

  // Marks the port lost from outside (its disconnect event).
  markLost(reason) { this.lost ??= new Error(reason); }

  async close() {
    try { await this.reader?.cancel(); } catch { /* already gone */ }
    try { await this.reading; } catch { /* already gone */ }
    try { this.writer?.releaseLock(); } catch { /* already released */ }
    this.writer = null;
    try { await this.port.close(); } catch { /* closed or lost */ }
  }
}
