// The line to the device as the commands use it. Every port has the same
// four operations:
//   open()          opens the line at 57600 8N1 without flow control; rejects
//                   with the browser's reason when it cannot;
//   write(bytes)    resolves once the bytes have left the port (the line is
//                   drained), with the performance.now() of the drain where
//                   the port knows it (a pause counts from there); rejects with a PortLost when the port went
//                   away, with a WriteTimedOut when the bytes did not leave
//                   within the port's bound (the port then stays broken
//                   until closed and opened again);
//   read(deadline)  resolves once performance.now() has reached `deadline`,
//                   with every byte that arrived since the previous read;
//                   rejects with a PortLost when the port went away;
//   close()         closes; never rejects. A port the browser cannot close
//                   within the port's bound (it waits for a drain the line
//                   never gives) goes on closing, and open() rejects with a
//                   PortNotClosed until it has.
// `broken` tells that the port must be closed and opened again before the
// next command. Two kinds: the simulated device in the page (the module's
// device core on the page's clock) and a serial port of the browser.
import { joinBytes, sleep, withDeadline } from './pacing.js';

/**
 * Either kind, as the commands use it.
 * @typedef {object} Port
 * @property {() => Promise<void>} open
 * @property {(bytes: Uint8Array) => Promise<number | void>} write
 * @property {(deadline: number) => Promise<Uint8Array>} read
 * @property {() => Promise<void>} close
 * @property {boolean} broken
 * @property {Error | null} lost
 * @property {string | null | undefined} failure why it would not open, as link.js words it
 */

// The port went away under a command (the programmer was pulled out). Its
// message is the browser's reason, empty when only the disconnect event
// told.
export class PortLost extends Error {
  /** @param {unknown} [cause] the browser's error */
  constructor(cause) {
    super(cause ? /** @type {{ message?: string }} */ (cause).message ?? String(cause) : '');
    this.name = 'PortLost';
  }
}

// The bytes handed to the port did not leave it within `timeoutMs` (the
// device stopped taking them and the line filled up).
export class WriteTimedOut extends Error {
  /** @param {number} timeoutMs */
  constructor(timeoutMs) {
    super(`write not completed within ${timeoutMs} ms`);
    this.name = 'WriteTimedOut';
    this.timeoutMs = timeoutMs;
  }
}

// The port's last close has not ended (the browser still waits for the line
// to drain): opening it now would be refused as if another program held it.
export class PortNotClosed extends Error {
  constructor() {
    super('');
    this.name = 'PortNotClosed';
  }
}

export class SimulatedPort {
  /** @param {Quorvex} quorvex */
  constructor(quorvex) {
    this.device = new quorvex.SimulatedDevice();
    /** @type {string | null | undefined} why it would not open, as link.js words it */
    this.failure = undefined;
  }

  get broken() { return false; }

  // The device in the page is never unplugged.
  get lost() { return null; }

  async open() { /* nothing to open: the device is in the page */ }

  /** @param {Uint8Array} bytes @returns {Promise<void>} no drain to time */
  async write(bytes) { this.device.receive(bytes, performance.now()); }

  /** @param {number} deadline */
  async read(deadline) {
    await sleep(deadline - performance.now());
    return joinBytes(this.device.takeDue(performance.now()).map((emission) => emission.bytes));
  }

  async close() { /* nothing to close */ }
}

// A port of navigator.serial. The bytes it receives are collected from the
// open on, by a read loop of its own, as the driver's queue would hold them.
//
// Each write closes its writer: Chromium's write() resolves once the bytes
// are in its own pipe, and its device service sends whatever the pipe holds
// in one system call, so bytes written apart could leave together. Closing
// drains the port (tcdrain, FlushFileBuffers) before it resolves, and the
// port then gives a fresh stream for the next write.
// What an open port keeps of the bytes no command has taken yet: a device
// that talks while the page waits between commands must not fill memory.
// Far more than a reply and its noise within one reception window.
export const maxHeldBytes = 1 << 20;

export class WebSerialPort {
  // `lineOptions` as port.open() takes them; a write that has not drained
  // after `writeTimeoutMs` gives up.
  /** @param {SerialPort} port @param {SerialOptions} lineOptions @param {number} writeTimeoutMs */
  constructor(port, lineOptions, writeTimeoutMs) {
    this.port = port;
    this.lineOptions = lineOptions;
    this.writeTimeoutMs = writeTimeoutMs;
    /** @type {Uint8Array[]} */
    this.chunks = [];
    this.held = 0;
    /** @type {Error | null} */
    this.lost = null;
    this.stuck = false;
    this.closing = false;
    /** @type {WritableStreamDefaultWriter<Uint8Array> | null} */
    this.writer = null;
    /** @type {ReadableStreamDefaultReader<Uint8Array> | null} */
    this.reader = null;
    /** @type {Promise<void> | null} */
    this.reading = null;
    /** @type {string | null | undefined} why it would not open, as link.js words it */
    this.failure = undefined;
    /** @type {Promise<void> | null} the close under way, until it ends */
    this.shutting = null;
    /** @type {Promise<void> | null} the last write and its drain, until they end */
    this.sending = null;
  }

  get broken() { return this.lost !== null || this.stuck; }

  // A close still under way is waited for first, within the port's bound.
  async open() {
    if (this.shutting) await withDeadline(this.shutting, this.writeTimeoutMs, () => new PortNotClosed());
    await this.port.open(this.lineOptions);
    this.lost = null;
    this.stuck = false;
    this.closing = false;
    this.chunks = [];
    this.held = 0;
    // An open port has its streams.
    this.writer = /** @type {WritableStream<Uint8Array>} */ (this.port.writable).getWriter();
    this.reading = this.readLoop();
  }

  async readLoop() {
    // A parity or framing error ends one readable stream and the port gives
    // a fresh one; so does a cancelled one, which is why closing stops the
    // loop first. A lost device leaves none.
    while (!this.closing && this.port.readable && !this.lost) {
      this.reader = this.port.readable.getReader();
      try {
        for (;;) {
          const { value, done } = await this.reader.read();
          if (done) break;
          this.keep(value);
        }
      } catch (error) {
        if (!this.port.readable) this.noteLost(error);
      } finally {
        this.reader.releaseLock();
        this.reader = null;
      }
    }
  }

  /** @param {Uint8Array} bytes */
  async write(bytes) {
    if (this.stuck) throw new WriteTimedOut(this.writeTimeoutMs);
    if (this.lost) throw new PortLost(this.lost);
    // None only on a closed port, whose failure below then counts as its loss.
    const writer = /** @type {WritableStreamDefaultWriter<Uint8Array>} */ (this.writer);
    try {
      // close() waits for the write queued before it, then drains, so the
      // two go without a turn between them; a failed write rejects both.
      const sent = Promise.all([writer.write(bytes), writer.close()]);
      // What closing waits for, whichever way it ends.
      const sending = sent.then(() => undefined, () => undefined);
      this.sending = sending;
      sending.then(() => { if (this.sending === sending) this.sending = null; });
      await withDeadline(sent, this.writeTimeoutMs, () => new WriteTimedOut(this.writeTimeoutMs));
    } catch (error) {
      if (error instanceof WriteTimedOut) {
        this.stuck = true;
        throw error;
      }
      this.noteLost(error);
      throw new PortLost(this.lost);
    }
    const drainedAt = performance.now();
    // The next writer is taken at once, so that the browser sets its stream
    // up while the caller pauses; a port that gives none has gone.
    writer.releaseLock();
    this.writer = this.port.writable?.getWriter() ?? null;
    if (!this.writer) this.markLost();
    return drainedAt;
  }

  /** @param {number} deadline */
  async read(deadline) {
    await sleep(deadline - performance.now());
    if (this.lost) throw new PortLost(this.lost);
    const all = joinBytes(this.chunks);
    this.chunks = [];
    this.held = 0;
    return all;
  }

  // Keeps a received chunk; past maxHeldBytes the oldest go first.
  /** @param {Uint8Array} chunk */
  keep(chunk) {
    this.chunks.push(chunk);
    this.held += chunk.length;
    while (this.held > maxHeldBytes && this.chunks.length > 1) this.held -= /** @type {Uint8Array} */ (this.chunks.shift()).length;
  }

  // Marks the port lost from outside: its disconnect event, which carries no
  // reason of its own.
  markLost() { this.lost ??= new PortLost(); }

  // The browser's reason for the loss, kept in place of a mark without one.
  /** @param {unknown} error the browser's, an Error */
  noteLost(error) {
    if (!this.lost?.message) this.lost = /** @type {Error} */ (error);
  }

  // Resolves once the port is closed, or once the port's bound has passed
  // while the browser still waits on the line; the close then goes on, and
  // open() waits for it.
  async close() {
    this.shutting ??= this.shut().finally(() => { this.shutting = null; });
    await withDeadline(this.shutting, this.writeTimeoutMs, () => new PortNotClosed())
      .catch(() => { /* still closing: open() tells */ });
  }

  // The port refuses to close while a stream is locked: the reader is
  // cancelled and let go by the read loop, the writer let go. A drain still
  // under way is waited for, neither aborted nor closed over: Chromium
  // cannot cut one short, and an abort (the port's close aborts its
  // writable) would leave the port unable to close until the page reloads.
  async shut() {
    this.closing = true;
    const { writer, reader } = this;
    this.writer = null;
    try { await reader?.cancel(); } catch { /* already gone */ }
    try { await this.reading; } catch { /* already gone */ }
    await this.sending;
    try { writer?.releaseLock(); } catch { /* released already */ }
    try { await this.port.close(); } catch { /* closed or lost */ }
  }
}
