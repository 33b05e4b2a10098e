// What the page tells while a command runs and after it: the frame's
// progress, the port a success went to, the device's recording, and where
// the focus returns to.

// Shows `sent` of `total` bytes of the frame in `bar` (a <progress> with
// `text` beside it); hides it once the frame is out.
export function frameProgress(bar, caption, text, sent, total) {
  bar.max = total;
  bar.value = sent;
  bar.parentElement.hidden = sent >= total;
  caption.textContent = text;
}

// A success message with the line `sentTo` that names the port it went to,
// shown below the window's own text, which stays as is.
export function successWithPort(message, sentTo) {
  return { title: message.title, text: message.text, port: sentTo };
}

// Shows `note` for `ms`, then hides it again; a newer call restarts it.
export function showFor(note, text, ms) {
  note.textContent = text;
  note.hidden = false;
  clearTimeout(note.hiding);
  note.hiding = setTimeout(() => { note.hidden = true; }, ms);
}

// After a command: the focus goes to the field its refusal marked red, else
// back to the control that started it.
export function restoreFocus(origin, refusedField) {
  const target = refusedField ?? origin;
  if (target?.isConnected && !target.disabled) target.focus();
}
