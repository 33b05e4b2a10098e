// Runs one device command of the module's engine: the engine says what to
// do, this file does it (opens the port, moves bytes, waits, shows) and tells
// the engine what happened. Every sequence, byte, text and timing is the
// engine's.
//
// `engine` is a quorvex.CommandEngine; `link` opens the chosen port
// (ensureOpen, forget); `ui` shows: mark(field, colour), subscriberTab(),
// readButton(visible), countdown(text; '' when none), settingsTaken(),
// message({text, title, messageKind}) resolving once the user closed it,
// underWay(kind): 'write' as a frame starts, 'read' as the device is awaited,
// progress(sent, total) per byte of a frame (sent === total once it is over,
// whichever way), and frameOut() once every byte of the frame went out.
// record({settingsLine, outcome, cause, systemText, frameSent, differing})
// once a write, read or verify has sent or taken settings: the settings as
// sent (or as read) with the engine's summary() of how it ended;
// stopRequested() true once the command is to stop: it is asked before the
// port opens, before each byte of a frame and between the reads of a wait,
// and the engine ends the command as a stop. Every one but message may be
// left out.
// Resolves with the engine's outcome; never rejects for what the port does.
import { OpenFailure } from './link.js';
import { joinBytes, waitUntil, withDeadline } from './pacing.js';
import { PortLost, WriteTimedOut } from './ports.js';

/** @typedef {import('./ports.js').Port} Port */
/** @typedef {{ ensureOpen(): Promise<Port>, forget(): void }} CommandLink */
/**
 * @typedef {object} CommandView
 * @property {(field: string, colour: string) => void} [mark]
 * @property {() => void} [subscriberTab]
 * @property {(visible: boolean) => void} [readButton]
 * @property {(text: string) => void} [countdown]
 * @property {() => void} [settingsTaken]
 * @property {(step: CommandStep) => Promise<unknown>} message
 * @property {(kind: 'write' | 'read') => void} [underWay]
 * @property {(sent: number, total: number) => void} [progress]
 * @property {() => void} [frameOut]
 * @property {(entry: CommandSummary & { settingsLine: Uint8Array }) => void} [record]
 * @property {() => boolean} [stopRequested]
 */

const now = () => performance.now();

// The port's failure as the engine's event; anything else is not the port's.
/** @param {unknown} error @returns {CommandEvent} */
function portEvent(error) {
  if (error instanceof PortLost) return { kind: 'lost', nowMs: now(), cause: 'lost', systemText: error.message };
  throw error;
}

// Takes at most `max` bytes from the front of `queue` (a list of Uint8Array).
/** @param {Uint8Array[]} queue @param {number} max */
function takeFront(queue, max) {
  const parts = [];
  let left = max;
  while (left > 0 && queue.length) {
    const head = queue[0];
    const part = head.subarray(0, left);
    parts.push(part);
    left -= part.length;
    if (part.length === head.length) queue.shift(); else queue[0] = head.subarray(part.length);
  }
  return joinBytes(parts);
}

/**
 * @param {CommandEngine} engine
 * @param {CommandLink} link
 * @param {CommandView} ui
 * @returns {Promise<string | null>}
 */
export async function runCommand(engine, link, ui) {
  // The engine has the port opened before it moves any bytes.
  let port = /** @type {Port} */ (/** @type {unknown} */ (null));
  /** @type {'write' | 'read' | null} */
  let underWay = null;
  /** @param {'write' | 'read'} kind */
  const phase = (kind) => {
    if (kind !== underWay) ui.underWay?.(kind);
    underWay = kind;
  };

  const stopped = () => (ui.stopRequested?.() ? engine.feed({ kind: 'stop', nowMs: now() }) : null);

  async function open() {
    const stop = stopped();
    if (stop) return stop;
    try {
      port = await link.ensureOpen();
      return engine.feed({ kind: 'opened', nowMs: now() });
    } catch (error) {
      if (!(error instanceof OpenFailure)) throw error;
      return engine.feed({ kind: 'openFailed', nowMs: now(), cause: error.causeCode, systemText: error.message });
    }
  }

  // A frame goes out a byte per write; a request in one write.
  /** @param {CommandStep} step @returns {Promise<CommandStep[]>} */
  async function send(step) {
    const writes = step.perByte ? Array.from(step.bytes, (byte) => Uint8Array.of(byte)) : [step.bytes];
    const total = step.bytes.length;
    let sent = 0;
    const progress = () => { if (step.perByte) ui.progress?.(sent, total); };
    progress();
    try {
      for (const bytes of writes) {
        const stop = step.perByte ? stopped() : null;
        if (stop) return stop;
        let drainedAt;
        try {
          // The engine's bound, or the port's own where that comes first.
          drainedAt = await withDeadline(port.write(bytes), step.timeoutMs, () => new WriteTimedOut(step.timeoutMs));
        } catch (error) {
          if (!(error instanceof WriteTimedOut)) return engine.feed(portEvent(error));
          // The stuck port is of no use to the next command: it opens it anew.
          link.forget();
          return engine.feed({ kind: 'writeTimedOut', nowMs: now() });
        }
        sent += bytes.length;
        progress();
        if (sent === total && step.perByte) ui.frameOut?.();
        // The pause counts from the drain, so that taking the next writer
        // falls inside it.
        await waitUntil((drainedAt ?? now()) + step.pauseMs);
        const next = engine.feed({ kind: 'written', nowMs: now(), count: bytes.length });
        if (next.length) return next;
      }
      return [];
    } finally {
      sent = total;
      progress();
    }
  }

  // Reads as the window's read loop does: a read every readEveryMs, at most
  // readMaxBytes of it taken; the rest is old input to the next command.
  /** @param {CommandStep} step */
  async function collect(step) {
    /** @type {Uint8Array[]} */
    const unread = [];
    for (;;) {
      const stop = stopped();
      if (stop) return stop;
      ui.countdown?.(engine.countdown(now()));
      try {
        unread.push(await port.read(Math.min(step.untilMs, now() + step.readEveryMs)));
      } catch (error) {
        return engine.feed(portEvent(error));
      }
      const bytes = takeFront(unread, step.readMaxBytes);
      if (bytes.length) engine.feed({ kind: 'received', nowMs: now(), bytes });
      const next = engine.feed({ kind: 'time', nowMs: now() });
      if (next.length) return next;
    }
  }

  /** @param {CommandStep} step */
  async function wait(step) {
    for (;;) {
      const stop = stopped();
      if (stop) return stop;
      ui.countdown?.(engine.countdown(now()));
      try {
        await port.read(Math.min(step.untilMs, now() + step.sliceMs));  // a lost port shows here
      } catch (error) {
        return engine.feed(portEvent(error));
      }
      const next = engine.feed({ kind: 'time', nowMs: now() });
      if (next.length) return next;
    }
  }

  let steps = engine.start(now());
  try {
    for (;;) {
      /** @type {CommandStep[] | null} */
      let next = null;
      for (const step of steps) {
        switch (step.kind) {
          case 'finished': {
            const settingsLine = engine.settingsFile();
            const summary = engine.summary();
            if (settingsLine && summary) ui.record?.({ settingsLine, ...summary });
            return step.outcome;
          }
          case 'red':
          case 'white':
            ui.mark?.(step.field, step.kind);
            break;
          case 'subscriberTab':
            ui.subscriberTab?.();
            break;
          case 'readButton':
            ui.readButton?.(step.visible);
            break;
          case 'settings':
            ui.settingsTaken?.();
            break;
          case 'message':
            // An interim message says what the countdown shows next.
            if (!step.interim) { ui.countdown?.(''); await ui.message(step); }
            break;
          case 'dropInput':
            try {
              await port.read(0);
            } catch (error) {
              next = engine.feed(portEvent(error));
            }
            break;
          case 'openPort':
            next = await open();
            break;
          case 'send':
            phase(step.perByte ? 'write' : 'read');
            next = await send(step);
            break;
          case 'collect':
            next = await collect(step);
            break;
          case 'wait':
            phase('read');
            next = await wait(step);
            break;
          default:
            // writeButton: every command button is disabled meanwhile;
            // log, stopCollecting, clearBuffer: the page has no console.
            break;
        }
        if (next) break;
      }
      if (!next) return null;
      steps = next;
    }
  } finally {
    ui.countdown?.('');
    ui.readButton?.(true);
  }
}
