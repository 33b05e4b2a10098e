// Waiting without timers: chained setTimeout is clamped to 4 ms after a few
// levels, which would make a paced frame four times slower. A message to
// ourselves comes back on the next turn of the event loop instead, so the
// page stays responsive between turns.

const channel = new MessageChannel();
/** @type {(() => void)[]} */
const waiting = [];
// Under node (the driver's tests) the port holds the process open only while
// someone waits on it; browsers have no ref() and need none.
channel.port1.onmessage = () => {
  waiting.shift()?.();
  if (!waiting.length) channel.port1.unref?.();
};
channel.port1.unref?.();
/** @returns {Promise<void>} */
const nextTurn = () => new Promise((resolve) => {
  waiting.push(resolve);
  channel.port1.ref?.();
  channel.port2.postMessage(0);
});

// Resolves once performance.now() has reached `until`.
/** @param {number} until */
export async function waitUntil(until) {
  while (performance.now() < until) await nextTurn();
}

// Resolves after `ms`, by an ordinary timer: for long waits, where 4 ms do
// not matter.
/** @param {number} ms @returns {Promise<void>} */
export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, Math.max(0, ms)));

// Settles as `work` does, or rejects with `timedOut()` once `ms` have
// passed first; a later rejection of `work` is then dropped.
/**
 * @template T
 * @param {Promise<T>} work
 * @param {number} ms
 * @param {() => Error} timedOut
 * @returns {Promise<T>}
 */
export function withDeadline(work, ms, timedOut) {
  /** @type {ReturnType<typeof setTimeout> | undefined} */
  let timer;
  /** @type {Promise<never>} */
  const expiry = new Promise((_, reject) => { timer = setTimeout(() => reject(timedOut()), ms); });
  work.catch(() => { /* the race reports it while anyone waits */ });
  return Promise.race([work, expiry]).finally(() => clearTimeout(timer));
}

// Joins chunks of bytes into one byte array.
/** @param {readonly Uint8Array[]} chunks */
export function joinBytes(chunks) {
  const all = new Uint8Array(chunks.reduce((n, part) => n + part.length, 0));
  let at = 0;
  for (const part of chunks) { all.set(part, at); at += part.length; }
  return all;
}
