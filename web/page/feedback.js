// What the page tells while a command runs and after it: the frame's
// progress, the port a success went to, the device's recording, and where
// the focus returns to.

// The frame's bar is redrawn at most this often: moved at every byte, the
// browser would repaint it at every frame of the screen, and that time is
// taken from the bytes' own turns. Ten moves a second look as smooth.
const progressEveryMs = 100;

// Shows `sent` of `total` bytes of the frame in `bar` (a <progress> with the
// text `wording(sent, total)` beside it); hides it once the frame is out.
// Between the first byte and the last it changes at most every
// progressEveryMs.
/**
 * @param {HTMLProgressElement & { shownAt?: number }} bar
 * @param {HTMLElement} caption
 * @param {(sent: number, total: number) => string} wording
 * @param {number} sent
 * @param {number} total
 */
export function frameProgress(bar, caption, wording, sent, total) {
  const now = performance.now();
  const between = sent > 0 && sent < total;
  if (between && now - (bar.shownAt ?? -Infinity) < progressEveryMs) return;
  bar.shownAt = between ? now : -Infinity;
  bar.max = total;
  bar.value = sent;
  /** @type {HTMLElement} */ (bar.parentElement).hidden = sent >= total;
  caption.textContent = wording(sent, total);
}

// A success message with the line `sentTo` that names the port it went to,
// shown below the window's own text, which stays as is, and the page's note.
/** @param {QuorvexMessage} message @param {string} sentTo @returns {QuorvexMessage} */
export function successWithPort(message, sentTo) {
  return { title: message.title, text: message.text, note: message.note, port: sentTo };
}

// Shows `note` for `ms`, then hides it again; a newer call restarts it.
/** @param {HTMLElement & { hiding?: ReturnType<typeof setTimeout> }} note @param {string} text @param {number} ms */
export function showFor(note, text, ms) {
  note.textContent = text;
  note.hidden = false;
  clearTimeout(note.hiding);
  note.hiding = setTimeout(() => { note.hidden = true; }, ms);
}

// After a command: the focus goes to the field its refusal marked red, else
// back to the control that started it.
/** @param {Element | null} origin @param {Element | null} refusedField */
export function restoreFocus(origin, refusedField) {
  // A control of the page: a button, or a field of the settings.
  const target = /** @type {(HTMLElement & { disabled?: boolean }) | null} */ (refusedField ?? origin);
  if (target?.isConnected && !target.disabled) target.focus();
}
